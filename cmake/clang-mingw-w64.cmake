# Cross build of the Windows product with clang and lld for the mingw-w64 target.
# The C and C++ runtime are those of the mingw-w64 GCC (posix thread model), so the
# programs are the same kind as a GCC build; lld adds what GCC cannot write: a PDB.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# clang does not look into Debian's "<version>-posix" folder of the mingw-w64 GCC:
# name its libstdc++ headers and libraries here, and winpthreads, which the
# posix thread model of libstdc++ calls.
execute_process(COMMAND x86_64-w64-mingw32-g++-posix -print-libgcc-file-name
                OUTPUT_VARIABLE cw_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(cw_gcc_dir "${cw_libgcc}" DIRECTORY)
set(cw_cxx_include "${cw_gcc_dir}/include/c++")
string(JOIN " " CMAKE_CXX_FLAGS_INIT
  "-stdlib++-isystem ${cw_cxx_include}"
  "-stdlib++-isystem ${cw_cxx_include}/x86_64-w64-mingw32"
  "-stdlib++-isystem ${cw_cxx_include}/backward")
# lld takes archives in any order, so winpthreads may come first.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -L${cw_gcc_dir} -lpthread")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests are Windows programs: run them under wine with a private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
