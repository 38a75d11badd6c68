// Stand-ins that a test gives the print click instead of the real print dialog and printer.
#pragma once

class WorksheetPrintHooks
{
public:
    virtual ~WorksheetPrintHooks() = default;
};
