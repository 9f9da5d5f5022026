#pragma once
// Opening a clone file as a document: the one sequence the main window and the
// command-line tool share. The file is read without a range list into a scratch image of
// the image size cleared to 0; then the model's image check (failure: code 8), the model's
// newer-data lockout (code 9) and the coverage test against the model's open ranges (code 7
// or 8) decide. Each failure shows its message once and the caller's images are never
// touched: only on success is the scratch image handed back, for the caller to copy from.
#include "image/AddressRange.h"
#include "image/cmcIcfFile.h"
#include "image/cmcImageGeometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class cmcEeprom;

// The model's part of the open: its words and checks, so this layer needs no model code.
struct cmcCloneFileChecks {
    std::uint16_t modelWord1 = 0;
    std::uint16_t modelWord2 = 0;
    cmcIcfModelCheck modelCheck;   // the file model check; none compares both words
    cmcIcfMapRevCheck mapRevCheck; // revisions accepted for a clone file
    // True when the image read is acceptable (the image check, not strict).
    std::function<bool(const cmcEeprom& image)> imageValid;
    // True when the image read carries data that must be refused (newer-data lockout).
    std::function<bool(const cmcEeprom& image)> refuseNewer;
    // The ranges a clone file must cover exactly (the model's list of kind 3).
    AddressRangeList coverage;
    int imageSize = cmcImageSize;
};

struct cmcCloneFileOpen {
    cmcIcfResult result = cmcIcfResult::Ok;
    std::unique_ptr<cmcEeprom> image; // the scratch image on success, null otherwise
    int mapRev = -1;                  // the map revision the file carried
};

[[nodiscard]] cmcCloneFileOpen cmcOpenCloneFile(const std::string& path, const cmcCloneFileChecks& checks);
