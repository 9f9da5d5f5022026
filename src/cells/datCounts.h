#pragma once
// The used counts the working image keeps for the counted tables, all big-endian: the
// channel count of each bank (two bytes at 0x10BC6 + 2k), the repeaters of each site (one
// byte at 0x176E0 + s), the individual IDs and the talk groups in use (two bytes each at
// 0x1AC36 and 0x1AC38). Reads clamp a count to the slots of its table, so a damaged count
// never addresses a record outside the table; writes clamp the same way.
class cmcEeprom;

inline constexpr int datBanks = 1;            // banks of this family
inline constexpr int datSites = 1;            // repeater sites of this family
inline constexpr int datMaxChannels = 32;     // channel slots, all banks together
inline constexpr int datMaxRepeaters = 20;    // repeater slots, all sites together
inline constexpr int datMaxListEntries = 500; // individual IDs, talk groups
inline constexpr int datBankCountPlace = 0x10BC6;
inline constexpr int datSiteCountPlace = 0x176E0;
inline constexpr int datSiteRecordPlace = 0x176E5; // 8 bytes per site: area bit, home repeater
inline constexpr int datIndividualIdCountPlace = 0x1AC36;
inline constexpr int datTalkGroupCountPlace = 0x1AC38;

// Channels of bank k (0 for a bank that does not exist).
[[nodiscard]] int datChannelCount(const cmcEeprom& image, int bank);
void datSetChannelCount(cmcEeprom& image, int bank, int count);
// Slot of the first channel of bank k: the channels of the banks before it.
[[nodiscard]] int datFirstChannel(const cmcEeprom& image, int bank);
// Channels of all banks.
[[nodiscard]] int datTotalChannels(const cmcEeprom& image);
// The bank whose channels hold slot; a slot past every bank belongs to the last bank.
[[nodiscard]] int datBankOfChannel(const cmcEeprom& image, int slot);

[[nodiscard]] int datRepeaterCount(const cmcEeprom& image, int site);
void datSetRepeaterCount(cmcEeprom& image, int site, int count);
[[nodiscard]] int datFirstRepeater(const cmcEeprom& image, int site);
[[nodiscard]] int datTotalRepeaters(const cmcEeprom& image);
[[nodiscard]] int datSiteOfRepeater(const cmcEeprom& image, int index);

[[nodiscard]] int datIndividualIdCount(const cmcEeprom& image);
void datSetIndividualIdCount(cmcEeprom& image, int count);
[[nodiscard]] int datTalkGroupCount(const cmcEeprom& image);
void datSetTalkGroupCount(cmcEeprom& image, int count);

// The used count of a counted kind (channels: bank or site selects the bank; repeaters:
// the site; ID lists ignore it), -1 for a kind without one.
[[nodiscard]] int datUsedCount(const cmcEeprom& image, int kind, int bankOrSite);
void datSetUsedCount(cmcEeprom& image, int kind, int bankOrSite, int count);
// Index of the first record the used count covers (bank's first channel, site's first
// repeater, 0 for the ID lists).
[[nodiscard]] int datFirstUsed(const cmcEeprom& image, int kind, int bankOrSite);
