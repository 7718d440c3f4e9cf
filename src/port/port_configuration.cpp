#include "port/port_configuration.h"

#include <limits>
#include <optional>

#include "base/captions.h"
#include "base/phrases.h"
#include "port/line_model.h"
#include "program/program.h"
#include "base/number_text.h"

namespace dravilo {

namespace {

// A list text that is a whole number of the field's width, blanks around it aside.
template <class Int>
std::optional<Int> wholeNumber(const QString& text)
{
    const std::optional<double> n = ScanNumber(text, {QString(), true});
    if (!n || *n < std::numeric_limits<Int>::min() || *n > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(*n);
}

void recordPort(Program& p, const QString& what) { p.record(TrafficDirection::Program, {}, what); }

// Why an opening left the port closed: its error, or the line's own reason
// where the opening itself went through (a network line waiting for its host).
QString whyNotOpened(const Program& p, const PortResult& opened)
{
    return opened.ok() ? p.MSComm1.notOpenReason() : opened.error;
}

// The port's state after an opening, for the traffic.
void recordOpening(Program& p, const char* how, const PortResult& opened)
{
    const SerialPort& port = p.MSComm1;
    if (port.portOpen())
        recordPort(p, QStringLiteral("port COM%1 %2: %3").arg(port.commPort()).arg(QLatin1String(how), port.settings()));
    else
        recordPort(p, QStringLiteral("port COM%1 not opened: %2").arg(port.commPort()).arg(whyNotOpened(p, opened)));
}

void closePort(Program& p)
{
    if (!p.MSComm1.portOpen())
        return;
    p.MSComm1.setPortOpen(false);
    recordPort(p, QStringLiteral("port closed"));
}

}  // namespace

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
    const PortResult opened = port.setPortOpen(true);
    remember(opened);
    recordOpening(p, "opened", opened);
    if (!lastError.isEmpty())
        p.platform.messageBox(lastError);
    ShowPortState(p, lastError);
}

void ShowPortState(Program& p, const QString& whyNotOpen)
{
    p.form.Port_Label1.setCaption(InLanguage(p.MSComm1.lineDescription(), p.settings.intLanguage));
    ShowPortIndicator(p, whyNotOpen);
}

void ShowPortIndicator(Program& p, const QString& whyNotOpen)
{
    Form1& f = p.form;
    const bool open = p.MSComm1.portOpen();
    f.Shape1.setFillColour(open ? kGreen : kRed);
    const QString why = whyNotOpen.isEmpty() ? p.MSComm1.notOpenReason() : whyNotOpen;
    if (open)
        f.Label30.setCaption({});
    else if (!why.isEmpty())
        f.Label30.setCaption(InLanguage(why, p.settings.intLanguage));
}

void ClosePort(Program& p)
{
    closePort(p);
    ShowPortState(p);
}

void Combo1_Click(Program& p)
{
    p.form.Timer5.setEnabled(false);  // the user's choice replaces the port that went away
    closePort(p);
    p.form.Timer2.setEnabled(true);
}

void Timer2_Timer(Program& p)
{
    Form1& f = p.form;
    SettingsRecord& set = p.settings;
    SerialPort& port = p.MSComm1;
    // Off before anything else: the message box below lets other events run,
    // and this re-configuration must not start again under it. A pick made
    // meanwhile arms the timer anew for one of its own.
    f.Timer2.setEnabled(false);

    const auto number = wholeNumber<std::int16_t>(f.Combo1[0].text());
    const auto rate = wholeNumber<std::int32_t>(f.Combo1[1].text());
    const auto dataBits = wholeNumber<std::int16_t>(f.Combo1[3].text());
    const auto stopBits = wholeNumber<std::int16_t>(f.Combo1[4].text());
    // The fields take what they can hold even when the port refuses it; a
    // text that is no number of the field leaves the field as it was.
    if (number)
        set.intCommPort = *number;
    if (rate)
        set.lngBaudRate = *rate;
    set.strParity = f.Combo1[2].text();
    if (dataBits)
        set.intDataBits = *dataBits;
    if (stopBits)
        set.intStopBits = *stopBits;

    // A port number that is none, or that the port refuses, is rejected like a
    // settings text: the port opens again as it was.
    const QString settings =
        QStringList{f.Combo1[1].text(), f.Combo1[2].text(), f.Combo1[3].text(), f.Combo1[4].text()}.join(u',');
    PortResult refused{QStringLiteral("no port number: %1").arg(f.Combo1[0].text())};
    if (number && (refused = port.setCommPort(*number)).ok())
        refused = port.setSettings(settings);
    if (!refused.ok()) {
        recordPort(p, QStringLiteral("pick refused: ") + kNotAllowed + QStringLiteral(": ") + refused.error);
        p.platform.messageBox(kNotAllowed, refused.error);
    }
    const PortResult opened = port.setPortOpen(true);  // a missing or busy device only leaves the indicator red
    recordOpening(p, "opened", opened);
    ShowPortState(p, opened.error);
    set.strPortSettings = port.settings();

    QStringList failures;
    if (!refused.ok())
        failures << kNotAllowed + QStringLiteral(": ") + refused.error;
    if (!port.portOpen())
        failures << QStringLiteral("the port is not open: ") + whyNotOpened(p, opened);
    for (const auto& told : std::exchange(p.afterReconfiguration, {}))
        told(failures.join(QStringLiteral("; ")));
}

void FillDeviceList(Program& p)
{
    Form1& f = p.form;
    const QStringList devices = p.MSComm1.devicesPresent();
    QStringList items = devices;
    for (QString& item : items)
        if (item == kVirtualDevice)
            item = kVirtualPortItem.in(p.settings.intLanguage);
    f.Port_Combo1.setItems(items);
    f.Port_Combo1.setListIndex(int(devices.indexOf(p.MSComm1.deviceChosen())));
    // A line that is not chosen from devices (a network line) has no list.
    f.Port_Combo1.setVisible(!items.isEmpty());
    f.Port_Label2.setVisible(!items.isEmpty());
}

void Port_Combo1_DropDown(Program& p) { FillDeviceList(p); }

void Port_Combo1_Click(Program& p)
{
    Form1& f = p.form;
    const std::int16_t language = p.settings.intLanguage;
    const QString item = f.Port_Combo1.text();
    const QString device = item == kVirtualPortItem.in(language) ? kVirtualDevice : item;
    int number = p.MSComm1.commPort();
    const PortResult chosen = p.MSComm1.chooseDevice(number, device);
    if (!chosen.ok()) {
        recordPort(p, QStringLiteral("device not chosen: %1").arg(chosen.error));
        p.platform.messageBox(kCannotChooseDevice.in(language).arg(item).arg(number).arg(chosen.error));
        return;
    }
    recordPort(p, QStringLiteral("device chosen: %1").arg(p.MSComm1.lineDescription()));
    f.Combo1[0].setText(QString::number(number));
    Combo1_Click(p);  // opens again on the device chosen, 100 ms later
}

void ShowLinePace(Program& p, const LineModel& model)
{
    Label& label = p.form.Port_Label3;
    label.setVisible(model.modelled());
    if (!model.modelled())
        return;
    const std::int16_t language = p.settings.intLanguage;
    const std::optional<LineSettings> settings = ParseLineSettings(model.settings());
    const UartFraming terminal = FramingOf(settings.value_or(LineSettings{}));
    QString text = model.pace() == LineModel::Pace::Instant
                       ? kPaceInstant.in(language)
                       : kPaceOfTheLine.in(language)
                             .arg(terminal.text())
                             .arg(PlainNumber(double(terminal.byteNs() / 10'000) / 100, p.platform.decimalSeparator()));
    if (const std::optional<UartFraming> host = model.mismatch())
        text += kHostGarbles.in(language).arg(host->text());
    if (model.framesNotSent() > 0)
        text += kFramesNotSent.in(language).arg(model.framesNotSent());
    label.setCaption(text);
}

void MSComm1_PortLost(Program& p)
{
    const QString why = QStringLiteral("its device went away");
    recordPort(p, QStringLiteral("port lost: ") + why);
    ShowPortState(p, why);
    p.form.Timer5.setEnabled(true);
}

void Timer5_Timer(Program& p)
{
    // Quietly: a device that is not back yet is tried again at the next tick.
    const PortResult opened = p.MSComm1.setPortOpen(true);
    if (!opened.ok())
        return;
    recordOpening(p, "back", opened);
    p.form.Timer5.setEnabled(false);
    ShowPortState(p);
}

}  // namespace dravilo
