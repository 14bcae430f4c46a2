#pragma once

#include "protocol/DeviceLink.h"
#include "protocol/ExchangeEngine.h"
#include "protocol/IdentityDisplay.h"
#include "journal/JournalSearch.h"
#include "protocol/UserPort.h"

#include <QTemporaryDir>

// A whole-journal read as the headless reader makes it, for the benchmarks
// that measure a read or what follows one: the device found, its identity
// read, then an "All" search into a temporary folder.
struct BenchReader
{
    explicit BenchReader(SIUSBXP &usb) : link(usb)
    {
        FindConnectDevice(link, state.DevHandle, port.messages, port.status);
        ExchangeEngine engine(link, state, commands, records, port, timer);
        get_info_initial(commands);
        engine.ReadTimerTimer();
    }
    bool identified() const { return records.identityReceived; }

    JournalSearch::Outcome readAll()
    {
        SearchRequest request;
        request.mode = SearchRequest::Mode::All;
        request.askBeforeLargeAll = false;
        request.directory = dir.path();
        request.fiscalMemory = FiscalMemoryText(records.Data132);
        JournalSearch search(ExchangeContext{link, state, commands, records, port}, requests, searchState, settings,
                             timer, view);
        return search.run(request);
    }

    SIUSBXP &link;
    ExchangeState state;
    CommandQueue commands;
    AnswerRecords records;
    UserPort port; // nobody watches
    ManualTickTimer timer;
    QTemporaryDir dir;
    JournalSettings settings;
    RequestListState requests;
    SearchState searchState;
    SearchView view;
};
