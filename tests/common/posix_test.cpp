// Behaviour of the POSIX stand-ins that the Windows build gets from Windows.
#include "common/error_texts.h"
#include "common/last_error.h"
#include "common/last_error_posix.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(PosixLastError, MapsErrnoToWin32Codes) {
    const struct {
        int err;
        std::uint32_t code;
    } rows[] = {
        {ENOENT, 2},   {ENOTDIR, 3}, {EACCES, 5}, {EPERM, 5},   {EEXIST, 183},
        {ENOSPC, 112}, {EMFILE, 4},  {EBUSY, 32}, {EINVAL, 87}, {ENAMETOOLONG, 206},
    };
    for (const auto& row : rows) EXPECT_EQ(Win32ErrorFromErrno(row.err), row.code) << row.err;
    EXPECT_EQ(Win32ErrorFromErrno(EHOSTDOWN), 31u);

    SetLastErrorFromErrno(ENOSPC);
    EXPECT_EQ(GetLastErrorCode(), kErrorDiskFull);
    EXPECT_STREQ(LastErrorText(), "There is not enough space on the disk. (112)");
}

TEST(PosixFormatSystemMessage, AnswersFromTheSystemTable) {
    EXPECT_EQ(FormatSystemMessage(5), "Access is denied. [5]");
    EXPECT_EQ(FormatSystemMessage(35), "[Unknown error code:35]");
}

} // namespace
