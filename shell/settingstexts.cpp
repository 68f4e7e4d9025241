#include "settingstexts.h"

#include "comportmap.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace SettingsTexts {

QString caption(Language language)
{
    return pick(language, QStringLiteral("Setting"), QStringLiteral("設定"));
}

QString languageFrame(Language language)
{
    return pick(language, QStringLiteral("Language"), QStringLiteral("語言選擇"));
}

QString portLabel(Language language)
{
    return pick(language, QStringLiteral("Serial Port Selection:"), QStringLiteral("通訊埠選擇："));
}

QString okButton(Language language)
{
    return pick(language, QStringLiteral("&OK"), QStringLiteral("確定(&O)"));
}

QString exitButton(Language language)
{
    return pick(language, QStringLiteral("&Exit"), QStringLiteral("離開(&E)"));
}

QString noPortFound(Language language, const QList<PortError> &unavailable)
{
    if (!unavailable.isEmpty()) {
        QStringList lines{pick(language, QStringLiteral("No serial port can be opened.\n"),
                               QStringLiteral("沒有可以開啟的通訊埠。\n"))};
        for (const PortError &why : unavailable)
            lines << TransferTexts::portError(language, why);
        return lines.join(QLatin1Char('\n'));
    }
    QString text = pick(language,
                        QStringLiteral("No serial port was found.\n\nCheck that the cable is connected and that "
                                       "the USB serial adapter is plugged in"),
                        QStringLiteral("找不到任何通訊埠。\n\n請檢查連接線是否接好、USB 轉 RS-232 轉接器是否插上"));
    if (ComPortMap::portsNeedDialoutGroup())
        text += pick(language,
                     QStringLiteral(", and that your user is a member of the group dialout (log in again after "
                                    "joining it)"),
                     QStringLiteral("，以及您的帳號是否屬於 dialout 群組（加入後須重新登入）"));
    return text + pick(language, QStringLiteral("."), QStringLiteral("。"));
}

QString noPortSelected(Language language)
{
    return pick(language, QStringLiteral("No serial port is selected."), QStringLiteral("沒有選擇通訊埠。"));
}

QString tryAgainButton(Language language)
{
    return pick(language, QStringLiteral("&Try Again"), QStringLiteral("重新偵測(&T)"));
}

QString comNumbers(Language language, QList<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QStringList parts;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype last = i;
        while (last + 1 < numbers.size() && numbers.at(last + 1) == numbers.at(last) + 1)
            ++last;
        QString part = QStringLiteral("COM%1").arg(numbers.at(i));
        if (last > i)
            part += QStringLiteral("–COM%1").arg(numbers.at(last));
        parts << part;
        i = last + 1;
    }
    return parts.join(pick(language, QStringLiteral(", "), QStringLiteral("、")));
}

namespace {

// What a fault says of several ports at once, after their numbers; empty for a fault
// that is told port by port.
QString sharedReason(Language language, const PortError &error)
{
    switch (error.kind) {
    case PortError::InUse:
        return pick(language, QStringLiteral("in use by another program: close that program first."),
                    QStringLiteral("正被其他程式使用：請先關閉那個程式。"));
    case PortError::NoPermission:
        if (!ComPortMap::portsNeedDialoutGroup())
            return pick(language, QStringLiteral("you may not use them."), QStringLiteral("沒有使用權限。"));
        return pick(language, QStringLiteral("you may not use them: join the dialout group and log in again."),
                    QStringLiteral("沒有使用權限：請加入 dialout 群組後重新登入。"));
    case PortError::HostUnknown:
        return pick(language, QStringLiteral("their host is not known: check its name and the network."),
                    QStringLiteral("找不到主機：請檢查主機名稱與網路。"));
    case PortError::Refused:
        return pick(language,
                    QStringLiteral("refused the connection: check that the serial device server runs and listens "
                                   "on those ports."),
                    QStringLiteral("拒絕連線：請確認序列裝置伺服器正在執行，且連接埠號碼正確。"));
    case PortError::TimedOut:
        return pick(language,
                    QStringLiteral("did not answer in time: check the addresses, the network and that the server is on."),
                    QStringLiteral("沒有及時回應：請檢查位址、網路，以及伺服器是否開機。"));
    case PortError::ConnectionLost:
        if (!error.serverSaid.isEmpty())
            return pick(language, QStringLiteral("closed the connection, saying: \"%1\""),
                        QStringLiteral("關閉了連線，伺服器說：「%1」"))
                .arg(TransferTexts::printable(error.serverSaid));
        return pick(language,
                    QStringLiteral("closed the connection: another user may hold those ports, or the server stopped."),
                    QStringLiteral("關閉了連線：可能有其他使用者正在使用這些埠，或伺服器已停止。"));
    case PortError::NoComPortOption:
        return pick(language,
                    QStringLiteral("do not offer RFC 2217 serial-port control: use socket:// addresses, or give the "
                                   "server's ports telnet(rfc2217)."),
                    QStringLiteral("不支援 RFC 2217 序列埠控制：請改用 socket:// 位址，或在伺服器上設定 telnet(rfc2217)。"));
    case PortError::BadAddress:
        return pick(language, QStringLiteral("not usable network addresses: %1"), QStringLiteral("不是可用的網路位址：%1"))
            .arg(TransferTexts::addressProblem(language, error.addressProblem, error.addressOption));
    default:
        return {};
    }
}

// COMn, or 0 for a fault that is not about one COM number.
int comNumberOf(const PortError &error)
{
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]?)$"));
    const QRegularExpressionMatch match = com.match(error.port);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

QStringList portNote(Language language, const QList<PortError> &unavailable)
{
    // Faults are alike when they read the same but for the port and what stands behind it.
    auto likeness = [language](PortError error) {
        error.port = QStringLiteral("COM");
        error.device.clear();
        return TransferTexts::portError(language, error);
    };
    struct Group {
        PortError first;
        QString likeness;
        QList<int> numbers;
    };
    QList<Group> groups;
    for (const PortError &error : unavailable) {
        const int number = comNumberOf(error);
        if (number > 0 && !sharedReason(language, error).isEmpty()) {
            const QString like = likeness(error);
            const auto same = std::find_if(groups.begin(), groups.end(), [&](const Group &group) {
                return !group.numbers.isEmpty() && group.likeness == like;
            });
            if (same != groups.end()) {
                same->numbers << number;
                continue;
            }
            groups.append({error, like, {number}});
            continue;
        }
        groups.append({error, {}, {}});
    }
    QStringList lines;
    for (const Group &group : std::as_const(groups)) {
        if (group.numbers.size() > 1)
            lines << pick(language, QStringLiteral("%1: %2"), QStringLiteral("%1：%2"))
                         .arg(comNumbers(language, group.numbers), sharedReason(language, group.first));
        else
            lines << TransferTexts::portError(language, group.first);
    }
    return lines;
}

} // namespace SettingsTexts
