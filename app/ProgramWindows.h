#pragma once

#include "service/DebugUnit.h"
#include "widgets/FitTexts.h"
#include "MainUnit.h"
#include "service/PassUnit.h"
#include "StatusUnit.h"
#include "SysInfoUnit.h"

// The program's five windows, created in their fixed order (main window,
// diagnostic window, information dialog, progress dialog, service window)
// and destroyed in the reverse order. The main window connects to the
// journal while it is created, before the others exist.
struct ProgramWindows
{
    ProgramWindows(SIUSBXP &usb, DialogProvider &dialogs, bool simulated)
        : MainForm(usb, dialogs, simulated)
        , DebugForm(dialogs, &MainForm)
        , SysInfoForm(
              dialogs, [this]() -> const data_132 & { return MainForm.exchange().records.Data132; },
              [this] { return MainForm.exchange().state.DevHandle != 0; }, &MainForm)
        , StatusForm(&MainForm)
        , PassForm(dialogs, MainForm.exchange().Commands, &MainForm)
    {
        MainForm.setDebugForm(&DebugForm);
        MainForm.setSysInfoForm(&SysInfoForm);
        MainForm.setStatusForm(&StatusForm);
        MainForm.setPassForm(&PassForm);
        for (QWidget *window :
             std::initializer_list<QWidget *>{&MainForm, &DebugForm, &SysInfoForm, &StatusForm, &PassForm})
            FitGrownTexts(window);
    }

    TMainForm MainForm;
    TDebugForm DebugForm;
    TSysInfoForm SysInfoForm;
    TStatusForm StatusForm;
    TPassForm PassForm;
};
