#pragma once
// The event manager: the program's internal notification bus. Windows and model objects
// register a handler; anyone raises a numbered event that reaches all of them, either
// queued for the dispatcher tick (Post), at once (Send), or at once with answers collected
// from the handlers (Ask). Everything runs on the window thread.
#include "base/cmcEvAns.h"
#include "base/cmcEvent.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

class cmcTask;

// A handler is identified by the pair (function, user pointer).
using cmcEvHandler = void (*)(void* user, const cmcEvent& event);

class cmcEvMan {
public:
    static constexpr int DispatchPeriodMs = 10;

    // Starts the dispatcher on a task of the installed timer service.
    cmcEvMan();
    // Discards the queue undelivered and drops every registration. Must not run from
    // inside one of its own handlers.
    ~cmcEvMan();
    cmcEvMan(const cmcEvMan&) = delete;
    cmcEvMan& operator=(const cmcEvMan&) = delete;

    // Drops an earlier registration of the same pair, then adds this one at the front: the
    // most recently registered handler is called first. A null handler is ignored.
    void Register(cmcEvHandler handler, void* user);
    // The pair is skipped from now on, also by a delivery already in progress; its entry
    // is unlinked at a later dispatcher tick. A null handler is ignored.
    void Unregister(cmcEvHandler handler, void* user);

    // Queue the event for the next dispatcher tick; posting order is delivery order.
    void Post(cmcEvCode code, std::intptr_t arg1 = 0, std::intptr_t arg2 = 0);
    void Post(cmcEvCode code, std::intptr_t arg1, std::intptr_t arg2, std::string_view text);
    void Post(cmcEvCode code, std::span<const std::byte> data);

    // Deliver the event at once to every registered handler, in the caller's stack.
    void Send(cmcEvCode code, std::intptr_t arg1 = 0, std::intptr_t control = 0);
    void Send(cmcEvCode code, std::string_view text);
    void Send(cmcEvCode code, std::intptr_t arg1, std::intptr_t arg2, std::string_view text);

    // Delivers the event at once as a question and hands back the answers its handlers
    // gave, first given first; empty when nobody answered. Questions nest: a handler may
    // ask while handling a question, and each question gets only its own answers.
    [[nodiscard]] cmcEvAnswers Ask(cmcEvCode code, std::intptr_t arg1 = 0, std::intptr_t arg2 = 0);

    // Answers the question being delivered to the calling handler. Ignored when that
    // handler is not handling a question (a sent or queued event, or no delivery at all).
    void Answer(std::intptr_t value);
    void Answer(std::intptr_t value, std::intptr_t second);
    void Answer(std::span<const std::byte> data);

private:
    struct Registration {
        cmcEvHandler handler;
        void* user;
        bool removed = false;
    };
    struct QueueEntry {
        cmcEvent event;
        bool delivered = false;
        bool fresh = true; // posted during the current tick: waits for the next one
    };
    class DeliveryFrame;

    void deliver(const cmcEvent& event, cmcEvAnswers* answers);
    void answer(cmcEvAns ans);
    void enqueue(cmcEvent event);
    void dispatch();

    std::list<Registration> registrations_;
    std::list<QueueEntry> queue_;
    // One entry per delivery in progress, innermost last: where answers go (null for an
    // event that is not a question). Also tells whether a walk over registrations_ runs.
    std::vector<cmcEvAnswers*> deliveries_;
    std::unique_ptr<cmcTask> task_;
};

// The process-wide event manager that the start-up installs; a fatal stop when none is.
cmcEvMan& cmcEvents();
// Installs evMan (not owned) and returns the previous one; nullptr uninstalls. A manager
// that is destroyed while installed uninstalls itself.
cmcEvMan* cmcSetEvMan(cmcEvMan* evMan);
