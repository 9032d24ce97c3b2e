#include "papyrus/script_declarations.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "papyrus/papyrus_source.h"
#include "papyrus/script_check.h"
#include "plugin/registration.h"

namespace cw::papyrus {
namespace {

TEST(ScriptDeclarations, ReadBackAsTheRegistrationTableWithoutAFinding) {
  std::size_t declared = 0;
  for (const char* className : kNativeClasses) {
    const PapyrusScript script = ReadPapyrusScript(DeclarationSource(className));
    EXPECT_EQ(script.name, className);
    EXPECT_TRUE(CheckScript(script, {std::string(className) + ".psc"}).empty()) << className;
    declared += script.functions.size();
  }
  EXPECT_EQ(declared, Natives().size());
}

TEST(ScriptDeclarations, EachNativeCarriesItsDescriptionAsADocumentationComment) {
  const std::string source = DeclarationSource(kClassTextContents);
  EXPECT_EQ(source.substr(0, source.find('\n')), "Scriptname FWTextContents Hidden");
  EXPECT_NE(source.find("\nInt Function getErrorCode() global native\n{Answers the outcome of "
                        "the last IOReadTranslation call: 99 before any call, 15"),
            std::string::npos)
      << source;
  for (const char* className : kNativeClasses) {
    const std::string text = DeclarationSource(className);
    for (const NativeEntry& native : Natives()) {
      if (std::string_view(className) != native.className) continue;
      const std::size_t at = text.find("\n" + DeclarationLine(native) + "\n{");
      ASSERT_NE(at, std::string::npos) << native.name;
      // The comment closes before the next declaration, and its lines stay short.
      const std::size_t open = at + DeclarationLine(native).size() + 2;
      const std::size_t close = text.find("}\n", open);
      EXPECT_LT(close, text.find("\n\n", open)) << native.name;
      for (std::size_t start = open, end; start < close; start = end + 1) {
        end = text.find('\n', start);
        EXPECT_LE(end - start, 96u) << text.substr(start, end - start);
      }
    }
  }
}

TEST(ScriptDeclarations, WrappedAtBlanks) {
  EXPECT_EQ(Wrapped("aa bb cc dddddd e", 5),
            (std::vector<std::string>{"aa bb", "cc", "dddddd", "e"}));
  EXPECT_TRUE(Wrapped("", 5).empty());
}

// docs/natives.md is what `cradlewright-host reference docs/natives.md` writes now.
TEST(ReferencePage, TheRepositorysPageIsUpToDate) {
  std::ifstream file(CW_SOURCE_DIR "/docs/natives.md", std::ios::binary);
  ASSERT_TRUE(file) << "docs/natives.md is missing";
  const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(page == ReferencePage())
      << "docs/natives.md differs from the registration table: run "
         "build/linux/bin/cradlewright-host reference docs/natives.md";
  EXPECT_NE(page.find("\n### getErrorCode\n\n`Int Function getErrorCode() global native`\n\n"),
            std::string::npos);
  EXPECT_NE(page.find("`Data/Cradlewright/<asFolder>/`"), std::string::npos);
}

}  // namespace
}  // namespace cw::papyrus
