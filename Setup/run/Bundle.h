// A bundle: SETUP.EXE with its medium packed inside, one file to ship and to sign. Packed with
// /bundle=OUT from a medium folder; started, it unpacks its medium into a folder of the run's
// own and runs from there as SETUP.EXE runs from the medium.
#pragma once
#include <string>

// Packs the folder SETUP.EXE lies in (its script, every file and subfolder, SETUP.EXE itself
// excepted) into OutArg, a copy of the program with that medium behind it; a relative OutArg is
// taken from the current directory. Says what it packed, or why it refused, on the standard
// output (a box when there is none and the run is not quiet). The process's exit code.
int PackBundle(const std::string& OutArg, bool Quiet);

// Says that Bad may not go with /bundle (or that /bundle names no file): exit code 87.
int RefuseBundleArgs(const std::string& Bad, bool Quiet);

enum TUnpacked {
    unNone,      // a plain SETUP.EXE: its medium is the folder it lies in
    unDone,      // unpacked into MediumDir
    unDamaged,   // the payload is cut short or changed: nothing was installed
    unNoSpace,   // the temporary folder has not the room for the medium
    unFailed,    // the folder could not be made or filled
};

// When the program carries a medium: unpacks it into a new folder of the run's own in the user's
// temporary folder, named in MediumDir, while it checks the payload whole, and removes the
// folders of killed bundle runs through the run's door (a plan's removes none); a damaged payload
// is named as such, whatever else went wrong. Message tells why when it did not unpack.
TUnpacked UnpackOwnMedium(std::string& MediumDir, std::string& Message);

// Removes the folder that UnpackOwnMedium made, with everything in it; nothing when it made none.
void RemoveOwnMedium();
