# Debug symbols of the plugin for Windows crash loggers: a PDB beside the DLL.
# The plugin's code is compiled with CodeView debug information (it does not change
# the generated code) and lld writes it into Cradlewright.pdb. The DLL names its PDB
# by file name only, so the PDB is found beside the DLL wherever both are installed.
# The DWARF sections that lld copies from the mingw-w64 runtime are stripped from
# the DLL right after linking: the DLL that the tests load is the one that ships.
find_program(CW_LLVM_STRIP NAMES llvm-strip llvm-strip-14 REQUIRED)

target_compile_options(cw_core PRIVATE -g -gcodeview)
target_compile_options(Cradlewright PRIVATE -g -gcodeview)
target_link_options(Cradlewright PRIVATE
  -Wl,--pdb=$<TARGET_FILE_DIR:Cradlewright>/$<TARGET_FILE_BASE_NAME:Cradlewright>.pdb
  "-Wl,-Xlink=-pdbaltpath:%_PDB%")
add_custom_command(TARGET Cradlewright POST_BUILD
  COMMAND ${CW_LLVM_STRIP} --strip-debug $<TARGET_FILE:Cradlewright>
  VERBATIM)
