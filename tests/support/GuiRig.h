#pragma once

#include "Controls.h"
#include "app/ProgramWindows.h"
#include "ScriptedDialogs.h"
#include "simulator/SimulatedUsb.h"

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
    std::unique_ptr<ProgramWindows> windows;
    TMainForm *main = nullptr;
    TDebugForm *debug = nullptr;
    TSysInfoForm *info = nullptr;
    TStatusForm *status = nullptr;
    TPassForm *pass = nullptr;

    explicit GuiRig(SimulatorOptions options = {}, bool plugged = true)
    {
        QDir::setCurrent(dir.path());
        usb = std::make_unique<SimulatedUsb>(options, clock);
        if (!plugged)
            usb->unplug();
        windows = std::make_unique<ProgramWindows>(*usb, dialogs, true);
        main = &windows->MainForm;
        debug = &windows->DebugForm;
        info = &windows->SysInfoForm;
        status = &windows->StatusForm;
        pass = &windows->PassForm;
        // The tests give the ticks themselves.
        main->readTimer().stop();
    }
    ~GuiRig()
    {
        closeProgram();
        QDir::setCurrent(previousDir);
    }

    // The windows go in the reverse order of their creation, as at exit.
    void closeProgram()
    {
        windows.reset();
        main = nullptr;
        debug = nullptr;
        info = nullptr;
        status = nullptr;
        pass = nullptr;
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
