#pragma once

#include "DebugUnit.h"
#include "MainUnit.h"
#include "PassUnit.h"
#include "ScriptedDialogs.h"
#include "SimulatedUsb.h"
#include "StatusUnit.h"
#include "SysInfoUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <QTemporaryDir>

#include <memory>

// The five windows around a simulated journal, created in the program's
// order, working in a folder of their own.
struct GuiRig
{
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::unique_ptr<SimulatedUsb> usb;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TDebugForm> debug;
    std::unique_ptr<TSysInfoForm> info;
    std::unique_ptr<TStatusForm> status;
    std::unique_ptr<TPassForm> pass;

    explicit GuiRig(SimulatorOptions options = {}, bool plugged = true)
    {
        QDir::setCurrent(dir.path());
        usb = std::make_unique<SimulatedUsb>(options, clock);
        if (!plugged)
            usb->unplug();
        main = std::make_unique<TMainForm>(*usb, dialogs, true);
        // The tests give the ticks themselves.
        main->ReadTimer->stop();
        debug = std::make_unique<TDebugForm>(dialogs, main.get());
        main->setDebugForm(debug.get());
        info = std::make_unique<TSysInfoForm>(
            dialogs, [this]() -> const data_132 & { return main->Answers.Data132; },
            [this] { return main->Link.DevHandle != 0; }, main.get());
        main->setSysInfoForm(info.get());
        status = std::make_unique<TStatusForm>(main.get());
        main->setStatusForm(status.get());
        pass = std::make_unique<TPassForm>(dialogs, main->Commands, main->Link, main.get());
        main->setPassForm(pass.get());
    }
    ~GuiRig()
    {
        closeProgram();
        QDir::setCurrent(previousDir);
    }

    // The windows go in the reverse order of their creation, as at exit.
    void closeProgram()
    {
        pass.reset();
        status.reset();
        info.reset();
        debug.reset();
        main.reset();
    }

    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            clock->advanceMs(TickPeriodMs);
            main->engine().ReadTimerTimer();
            // Boxes opened from a tick come through the event loop.
            QCoreApplication::processEvents();
        }
    }
    QString journalPath() const
    {
        return dir.filePath(QStringLiteral("Original_%1.txt").arg(info->FiscalMemoryEdit->text()));
    }
};
