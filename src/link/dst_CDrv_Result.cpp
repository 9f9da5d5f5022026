#include "link/dst_CDrv_Result.h"

bool cmcCloneCodeHasMessage(int code)
{
    switch (static_cast<cmcCloneCode>(code)) {
    case cmcCloneCode::LinkOpen:
    case cmcCloneCode::Timeout:
    case cmcCloneCode::Frame:
    case cmcCloneCode::FrameCount:
    case cmcCloneCode::Missing:
    case cmcCloneCode::Outside:
    case cmcCloneCode::WriteFailed:
    case cmcCloneCode::Model:
    case cmcCloneCode::MapRevision:
    case cmcCloneCode::ImageCheck:
    case cmcCloneCode::NewerData:
    case cmcCloneCode::WriteError:
    case cmcCloneCode::PasswordTimeout:
        return true;
    default:
        return false;
    }
}
