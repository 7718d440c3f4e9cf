#include "port/port_opening.h"

#include "app/program.h"

namespace dravilo {

void OpenPortAtStartup(Program& p)
{
    SerialPort& port = p.MSComm1;
    QString lastError;
    const auto remember = [&lastError](const PortResult& result) {
        if (!result.ok())
            lastError = result.error;
    };
    remember(port.setCommPort(p.settings.intCommPort));
    remember(port.setSettings(p.settings.strPortSettings));
    remember(port.setPortOpen(true));
    if (!lastError.isEmpty())
        p.platform.messageBox(lastError);
    ShowPortState(p);
}

void ShowPortState(Program& p) { p.form.Shape1.setFillColour(p.MSComm1.portOpen() ? kGreen : kRed); }

void ClosePort(Program& p)
{
    if (p.MSComm1.portOpen())
        p.MSComm1.setPortOpen(false);
    ShowPortState(p);
}

}  // namespace dravilo
