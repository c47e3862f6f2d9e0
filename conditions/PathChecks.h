// Checks of the destination the user gives in the conditions dialog, and the part helpers
// that split it. Paths are Shift_JIS byte strings; every search is double-byte aware, so
// the second byte of a character (which may be 0x5C or 0x7C) is never taken for a
// backslash or a forbidden character.
#pragma once

#include <string>

namespace velnor {

// Everything up to and including the last backslash; empty when there is none.
std::string GetFolderPart(const std::string& path);
// Everything up to and including the last colon; empty when there is none.
std::string GetDrivePart(const std::string& path);
// Everything after the last backslash; the whole text when there is none.
std::string GetFileNamePart(const std::string& path);
// Everything after the last colon; the whole text when there is none.
std::string GetAfterDrivePart(const std::string& path);

// Well-formed: no doubled backslash (after the two of a network path) and none of
// / : , ; * ? " > < | after the drive separator or the network path's leading "\\".
bool CheckPathChars(const char* path);

// The drive or network share of `path` is usable for reading and writing.
bool CheckPathDrive(const char* path);

// The drive of `letter` is of a usable type and grants `accessMode` (as _access) on its
// root.
bool CheckDriveLetter(char letter, int accessMode);

// Drive types, numbered from 0 in the order of the Win32 API's values.
enum DriveType : unsigned {
    kDriveUnknown,
    kDriveNoRootDir,
    kDriveRemovable,
    kDriveFixed,
    kDriveRemote,
    kDriveCdRom,
    kDriveRamDisk,
};

// What a drive type means for a destination.
enum class DriveVerdict { kRefuse, kTestAccess, kAccept };
DriveVerdict VerdictForDriveType(unsigned driveType);

// The system calls of the drive checks.
class DriveSystem {
  public:
    // GetDriveTypeA of a root such as "C:\".
    virtual unsigned DriveTypeOf(const char* root) = 0;
    // _access: true when `path` exists and grants `mode` (2 write, 4 read, 6 both).
    virtual bool HasAccess(const char* path, int mode) = 0;

  protected:
    ~DriveSystem() = default;
};

// The platform's: Win32 on Windows; natively one that knows no drive.
DriveSystem& PlatformDriveSystem();
// Tests: the drive system the checks use from now on (null: the platform's). Returns the
// previous one.
DriveSystem* SetDriveSystem(DriveSystem* system);

}  // namespace velnor
