// The signing command as the shell runs it: each file name is one word
// whatever it holds, and what the command ends with decides.
#include "tools/zorpack/signing.h"

#include "common/shell_command.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace zorpack;

#ifdef _WIN32
constexpr char kCopy[] = "copy /b {in} {out} >NUL";
constexpr char kFail[] = "exit 3 & rem {in} {out}";
constexpr char kNothing[] = "rem {in} {out}";
constexpr char kAwkwardName[] = "a file & (more).exe";
#else
constexpr char kCopy[] = "cp {in} {out}";
constexpr char kFail[] = "exit 3; {in} {out}";
constexpr char kNothing[] = "true {in} {out}";
constexpr char kAwkwardName[] = "it's a $file `x` & more.exe";
#endif

TEST(Signing, TheCommandSeesEachFileAsOneWordAndItsExitCodeDecides) {
    const TempDir dir;
    const std::string input = dir.WriteFile(kAwkwardName, "the image");
    const struct {
        const char* command;
        const char* problem;
    } cases[] = {
        {kCopy, ""},
        {kFail, "signing the file failed: the --sign-command ended with exit code 3"},
        {kNothing, "signing the file failed: the --sign-command wrote no file {out}"},
    };
    for (const auto& c : cases) {
        TemporaryFile signedFile;
        EXPECT_EQ(SignFile(c.command, input, "the file", dir.path(), signedFile), c.problem) << c.command;
        if (*c.problem == '\0') {
            EXPECT_EQ(ReadWholeFile(signedFile.Path()), "the image");
        }
    }
    EXPECT_EQ(ExpandSignCommand("x {in} {out}{in} {i", "a", "b"),
              "x " + QuoteForShell("a") + " " + QuoteForShell("b") + QuoteForShell("a") + " {i");
}

} // namespace
