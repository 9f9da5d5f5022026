#include "base/cmcHelpGTex.h"

bool cmcHelpGTex::SetFile(const std::string& fileName)
{
    if (Source() != cmcGTexSource::None)
        return false;
    return cmcGTex::SetFile(fileName);
}
