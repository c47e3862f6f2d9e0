// The drive checks on the real drive types and access test of Wine's drives: C: and Z:
// are fixed drives; a letter that names no drive is refused.
#include <gtest/gtest.h>
#include <windows.h>

#include "conditions/PathChecks.h"

namespace {

char MissingDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (int i = 25; i >= 3; --i) {
        if ((drives & (1u << i)) == 0) return static_cast<char>('A' + i);
    }
    return '\0';
}

TEST(PathChecksWin, WineDrives) {
    ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA("Z:\\"));
    EXPECT_TRUE(velnor::CheckDriveLetter('Z', 6));
    EXPECT_TRUE(velnor::CheckDriveLetter('z', 6));
    EXPECT_TRUE(velnor::CheckDriveLetter('C', 6));
    EXPECT_TRUE(velnor::CheckPathDrive("Z:\\tmp\\out.xml"));
    EXPECT_TRUE(velnor::CheckPathDrive("c:\\users\\out.xml"));
    EXPECT_TRUE(velnor::CheckPathDrive("Zdata\\out.xml"));
    EXPECT_FALSE(velnor::CheckPathDrive("Z:\\tmp\\\\out.xml"));
}

TEST(PathChecksWin, MissingDrive) {
    const char letter = MissingDriveLetter();
    ASSERT_NE('\0', letter);
    const char root[] = {letter, ':', '\\', '\0'};
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA(root));
    EXPECT_FALSE(velnor::CheckDriveLetter(letter, 6));
    EXPECT_FALSE(velnor::CheckPathDrive((std::string(root) + "out.xml").c_str()));
}

// The project's Wine prefix maps D: as a CD-ROM drive (scripts/wine-prefix).
TEST(PathChecksWin, CdRomDriveIsRefused) {
    ASSERT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("D:\\"));
    EXPECT_FALSE(velnor::CheckDriveLetter('D', 6));
    EXPECT_FALSE(velnor::CheckDriveLetter('d', 6));
    EXPECT_FALSE(velnor::CheckPathDrive("D:\\out.xml"));
}

TEST(PathChecksWin, NetworkPaths) {
    EXPECT_FALSE(velnor::CheckPathDrive("\\\\nosuchserver\\share\\out.xml"));
    EXPECT_FALSE(velnor::CheckPathDrive("\\\\nosuchserver"));
}

}  // namespace
