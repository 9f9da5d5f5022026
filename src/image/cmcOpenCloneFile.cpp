#include "image/cmcOpenCloneFile.h"

#include "image/cmcEeprom.h"

#include <utility>

cmcCloneFileOpen cmcOpenCloneFile(const std::string& path, const cmcCloneFileChecks& checks)
{
    cmcCloneFileOpen open;
    auto scratch = std::make_unique<cmcEeprom>();
    scratch->SetSize(checks.imageSize);

    cmcIcfFile file;
    file.SetImage(*scratch);
    file.SetModelWords(checks.modelWord1, checks.modelWord2);
    file.SetModelCheck(checks.modelCheck);
    file.SetMapRevCheck(checks.mapRevCheck);
    open.result = file.ReadCloneFile(path, nullptr);
    open.mapRev = file.MapRev();
    if (open.result != cmcIcfResult::Ok)
        return open; // the reader has shown its message

    // A check that is not given passes, like a model without that check.
    if (checks.imageValid && !checks.imageValid(*scratch))
        open.result = cmcIcfResult::Data;
    else if (checks.refuseNewer && checks.refuseNewer(*scratch))
        open.result = cmcIcfResult::Newer;
    else
        open.result = file.CheckCoverage(&checks.coverage);
    if (open.result != cmcIcfResult::Ok) {
        cmcIcfFile::ShowFileResult(open.result);
        return open;
    }
    open.image = std::move(scratch);
    return open;
}
