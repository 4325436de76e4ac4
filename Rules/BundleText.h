// The layout of a bundle: SETUP.EXE with its medium packed behind the program's image, as text
// and number rules without the system.
//
//   [program image] [cabinet: the medium's files, then the index] [padding] [trailer]
//   [Authenticode signature, when the bundle was signed afterwards]
//
// The trailer says how long the cabinet is and what it unpacks to, and carries the checksum of
// everything before it from the cabinet's start, so that a download cut short or changed in one
// byte is found before anything is installed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Rules/Capacities.h"

struct TBundleTrailer {
    uint64_t PayloadSize = 0;     // the cabinet and its padding, in bytes
    uint64_t UnpackedBytes = 0;   // what the medium takes when unpacked
    uint32_t FileCount = 0;       // the medium's files (folders not counted)
    uint32_t Crc = 0;             // CRC-32 of the payload, then of the three numbers above
};

const size_t BundleTrailerSize = 32;
const size_t BundleAlign = 8;   // the payload ends on this, as a signature after it must begin

// The trailer's bytes, BundleTrailerSize of them.
std::string EncodeBundleTrailer(const TBundleTrailer& Trailer);

// Reads a trailer from Bytes (BundleTrailerSize of them); false when they are no trailer.
bool DecodeBundleTrailer(const char* Bytes, TBundleTrailer& Trailer);

// CRC-32 (the polynomial of ZIP and PNG) of Size bytes, continued from Crc (0 to start).
uint32_t Crc32(uint32_t Crc, const void* Data, size_t Size);

// The trailer's checksum, given PayloadCrc, the payload's CRC-32: continued over the trailer's
// sizes as EncodeBundleTrailer writes them, so that a changed size reads as damage too.
uint32_t SealedCrc(uint32_t PayloadCrc, const TBundleTrailer& Trailer);

// The room that unpacking the medium takes: its bytes, and SlackPerFile more for each file,
// at most the largest number (a trailer may say anything before its checksum is known).
uint64_t UnpackRoom(const TBundleTrailer& Trailer, uint64_t SlackPerFile);

// Where a PE32 file's parts end, read from its first HeadSize bytes (headers and section table):
// ImageEnd, the end of its last section's data, where anything appended begins; DataEnd, the
// offset of an Authenticode signature that the security directory names (FileSize without one);
// and that directory entry's own offset (8 bytes; 0 when there is none), so that a copy of the
// image can drop the signature. Head that is no PE32 image gives FileSize for both ends.
// A COFF string table after the sections (long section names) belongs to the image: its 4-byte
// length lies at StringTableAt (0 when there is none), for the caller to read and add.
struct TPeLayout {
    uint64_t ImageEnd = 0;
    uint64_t DataEnd = 0;
    size_t DirectoryAt = 0;
    uint64_t StringTableAt = 0;
};
TPeLayout ReadPeLayout(const char* Head, size_t HeadSize, uint64_t FileSize);

// Whether Name, a path inside the medium as the cabinet stores it, stays inside the folder it is
// unpacked to: relative, with backslashes, no empty, "." or ".." part, no drive, no device.
bool IsSafeMediumPath(const char* Name);

// The index of the medium, the cabinet's last file: a record for every folder and file, with
// the attributes and the exact times it had on the medium (the cabinet keeps last-write times in
// two-second steps only, and folders not at all).
const size_t MediumPathSize = SystemPathSize;   // a path inside the medium, with its NUL
struct TMediumRecord {
    uint32_t Attributes;                // the system's file attributes; a folder's have 0x10
    uint32_t TimeLow, TimeHigh;         // last-write time, as the system's FILETIME
    uint32_t CreatedLow, CreatedHigh;   // creation time, which the log shows too
    char Path[MediumPathSize];          // NUL-ended
};
const uint32_t FolderAttribute = 0x10;
const char* const MediumIndexName = "<medium>";   // no file of a medium can have this name

// Whether Record is one an index may hold: its path NUL-ended and safe (IsSafeMediumPath).
bool IsSafeMediumRecord(const TMediumRecord& Record);

// The access list of a folder that a run unpacks its medium into, in the system's text form:
// an elevated run's (Elevated) is owned by the administrators and admits only the system and
// them, so that no unelevated program of the same user changes the medium before it is
// installed; another run's admits the run's own user (UserSid) as well.
std::string MediumFolderSddl(bool Elevated, const std::string& UserSid);

// Folders that bundle runs unpack their medium into, in the user's temporary folder:
// "~setupkvb" + 16 hex digits. Only names of exactly this form are ever removed as another
// run's leftovers.
const char* const BundleDirPrefix = "~setupkvb";
const size_t BundleDirNameSize = 26;   // the name with its NUL
void BundleDirName(uint64_t Random, char (&Name)[BundleDirNameSize]);
bool IsBundleDirName(const char* Name);

// The arguments of a packing run: true when Args hold /bundle=OUT (letter case ignored), which
// packs the medium instead of installing from it. Only /quiet may go with it; Bad then names the
// first argument that may not (or /bundle without a file), and is empty otherwise.
bool ParseBundleArgs(const std::vector<std::string>& Args, std::string& Out, bool& Quiet,
                     std::string& Bad);
