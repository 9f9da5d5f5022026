#pragma once
// The six link option dialogs on the shared frame. Each Make... builds the dialog with its
// check (tests drive it without a modal loop); each Show.../Ask... runs it modally.
//
// COM port (form 0: the number typed; form 2: the list of present ports, refilled when it
// drops down): OK with a port from 1 to 256, or the path of a serial device (which gets its
// number in the port map), stores "ComPort" and selects the serial link. IP address and TCP
// port: OK stores the normalised address or the port and selects the network link. Clone
// password: 1 to 16 characters, kept for the run and handed to the clone sequence.
// Read/write password: both fields empty, or equal and not only blanks. Adjust-read
// password: compared with the stored one; the dialog closes after OK either way.
#include "app/cuiOptionDialog.h"
#include "app/indEnviron.h"

#include <memory>
#include <optional>
#include <string>

class QWidget;

inline constexpr int cuiComPortPlain = 0;
inline constexpr int cuiComPortList = 2;

[[nodiscard]] std::unique_ptr<cuiOptionDialog> MakeComPortDialog(indEnviron& env, int form,
                                                                 QWidget* owner = nullptr);
[[nodiscard]] std::unique_ptr<cuiOptionDialog> MakeIpAddressDialog(indEnviron& env, QWidget* owner = nullptr);
[[nodiscard]] std::unique_ptr<cuiOptionDialog> MakeTcpPortDialog(indEnviron& env, QWidget* owner = nullptr);
// The password accepted goes into result.
[[nodiscard]] std::unique_ptr<cuiOptionDialog> MakeClonePasswordDialog(std::optional<std::string>& result,
                                                                       QWidget* owner = nullptr);
[[nodiscard]] std::unique_ptr<cuiOptionDialog> MakeReadWritePasswordDialog(const std::string& current,
                                                                           std::optional<std::string>& result,
                                                                           QWidget* owner = nullptr);
// allowed becomes true when the password typed matches the stored one.
[[nodiscard]] std::unique_ptr<cuiOptionDialog>
MakeAdjustReadPasswordDialog(const indEnviron& env, bool& allowed, QWidget* owner = nullptr);

// True when a setting was changed.
bool ShowComPortDialog(indEnviron& env, int form, QWidget* owner = nullptr);
bool ShowIpAddressDialog(indEnviron& env, QWidget* owner = nullptr);
bool ShowTcpPortDialog(indEnviron& env, QWidget* owner = nullptr);
// The clone password typed, none on Cancel.
[[nodiscard]] std::optional<std::string> ShowClonePasswordDialog(QWidget* owner = nullptr);
// The new read/write password ("" for none), none on Cancel.
[[nodiscard]] std::optional<std::string> ShowReadWritePasswordDialog(const std::string& current,
                                                                     QWidget* owner = nullptr);
// The adjust read may go on: no password is stored, it was accepted before in this run
// (allowedBefore, which an accepted password sets), or it is typed now (event 13 then
// redraws the sheets).
[[nodiscard]] bool AskAdjustReadPassword(const indEnviron& env, bool& allowedBefore,
                                         QWidget* owner = nullptr);
