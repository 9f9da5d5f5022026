#pragma once
// The record-table service: the handler of events 28 to 35, which insert (even codes) or
// delete (odd codes) one entry of the channel, repeater, individual-ID or talk-group table.
// Argument 1 names the bank (channels) or site (repeaters), argument 2 the entry. The
// service moves the records (insertRecord, removeRecord), raises or lowers the used count,
// packs the image again and raises the events that make the windows follow:
//   after an inserted channel       post 13 (redraw), send 37 (sheet titles);
//   after another insertion         send 39 (one row more), send 37;
//   after a deleted channel         send 37, send 18 (redraw from the entry on);
//   after another deletion          send 40 (one row less), send 37, send 18.
// An event that cannot be carried out (a full table, an entry outside the table or past
// its used rows) changes nothing. The callers check the room in the radio's memory (fits)
// before they raise an insertion.
//
// The main window and the command-line tool each create one for their working image.
#include "base/cmcEvent.h"

class cmcEeprom;
class cmcEvMan;

class datRecordService {
public:
    // Registers with events for its lifetime. The images are not owned.
    datRecordService(cmcEvMan& events, cmcEeprom& image, const cmcEeprom& defaultImage);
    ~datRecordService();
    datRecordService(const datRecordService&) = delete;
    datRecordService& operator=(const datRecordService&) = delete;

    // Carries out one event of 28 to 35; false when it changed nothing (or is another code).
    bool Handle(const cmcEvent& event);

private:
    static void onEvent(void* user, const cmcEvent& event);
    bool insert(int kind, int bankOrSite, int entry);
    bool remove(int kind, int bankOrSite, int entry);

    cmcEvMan& events_;
    cmcEeprom& image_;
    const cmcEeprom& defaultImage_;
};
