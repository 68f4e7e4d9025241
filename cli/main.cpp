// kestrion-cli: the transfers of the Kestrion window from the command line, for labs that
// script their boards.
//
//   kestrion-cli ports
//   kestrion-cli download --board 8088|8052 --port PORT [--port PORT ...] FILE
//   kestrion-cli upload   --board 8088|8052 --port PORT FILE [--wait SECONDS]
//
// A port is COM1..COM15, a device's path or a network address (socket://host:port,
// rfc2217://host:port); a download to several ports loads a class set of boards at once.

#include "clitexts.h"
#include "clitransfer.h"
#include "commport.h"
#include "console.h"
#include "comportmap.h"
#include "exitcodes.h"
#include "kestrionversion.h"
#include "lineaddress.h"
#include "lines.h"
#include "portchoice.h"
#include "portlisting.h"
#include "transfertexts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <optional>


namespace {

void printLine(FILE *stream, const QString &text)
{
    Console::print(stream, text + QLatin1Char('\n'));
}

int usageError(Language language, const QString &text)
{
    printLine(stderr, text + QLatin1Char(' ') + CliTexts::usageHint(language));
    return ExitCode::UsageError;
}

// The language is needed before the options are described, so it is looked for first.
// English when none is given; an empty one is no language.
std::optional<Language> languageFromArguments(const QStringList &arguments, QString *value)
{
    bool given = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--lang") && i + 1 < arguments.size()) {
            *value = arguments.at(i + 1);
            given = true;
        } else if (argument.startsWith(QLatin1String("--lang="))) {
            *value = argument.mid(7);
            given = true;
        }
    }
    if (!given || *value == QLatin1String("en"))
        return Language::English;
    if (value->compare(QLatin1String("zh-TW"), Qt::CaseInsensitive) == 0
        || value->compare(QLatin1String("zh_TW"), Qt::CaseInsensitive) == 0)
        return Language::Chinese;
    return std::nullopt;
}

// What a port stands for, for telling two names of one port apart: the device itself,
// or the address as written back.
QString portIdentity(const PortChoice &port)
{
    QString device = port.name;
    switch (port.kind) {
    case PortChoice::None:
        return {};
    case PortChoice::Address:
        return port.address.text();
    case PortChoice::ComNumber:
        if (const QString address = ComPortMap::networkAddress(port.number); !address.isEmpty()) {
            const ParsedLineAddress parsed = parseLineAddress(address);
            return parsed.isValid() ? parsed.address.text() : port.name;   // the port tells, when it is used
        }
        device = ComPortMap::devicePath(port.number);
        break;
    case PortChoice::DevicePath:
        break;
    }
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

// The ports that can be used now, one a line on stdout in the order of their numbers:
// the devices that open, and the boards on the network that answer, which are all tried
// at once for a short time. Those that cannot be used are named on stderr with what to
// do. The event loop ends with 0 when there is any port, 4 when there is none.
void listPorts(Language language, NetworkPortProbe &probe)
{
    CommPort port;
    const PortListing listing = listComPorts(port);
    QObject::connect(&probe, &NetworkPortProbe::finished, &probe, [language, listing, &probe] {
        QMap<int, QString> lines;
        for (const int number : listing.ports) {
            QString line =
                QStringLiteral("COM%1\t%2").arg(number).arg(TransferTexts::printable(ComPortMap::devicePath(number)));
            const QString adapter = ComPortMap::adapterDescription(ComPortMap::resolvedDevicePath(number));
            if (!adapter.isEmpty())
                line += QLatin1Char('\t') + adapter;
            lines.insert(number, line);
        }
        for (const int number : probe.reachable())
            lines.insert(number, QStringLiteral("COM%1\t%2")
                                     .arg(number)
                                     .arg(TransferTexts::printable(ComPortMap::networkAddress(number))));
        for (const QString &line : std::as_const(lines))
            printLine(stdout, line);
        const QList<PortError> unavailable = listing.unavailable + probe.unreachable();
        for (const PortError &why : unavailable)
            printLine(stderr, TransferTexts::portError(language, why));
        if (lines.isEmpty() && unavailable.isEmpty())
            printLine(stderr, CliTexts::noPorts(language));
        QCoreApplication::exit(lines.isEmpty() ? ExitCode::PortProblem : ExitCode::Done);
    });
    probe.start(listing.network);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrion-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRION_VERSION));

    QString languageName;
    const std::optional<Language> chosen = languageFromArguments(QCoreApplication::arguments(), &languageName);
    const Language language = chosen.value_or(Language::English);
    // Qt's own texts (the --help and --version lines, the parser's complaints) follow.
    QTranslator qtTexts;
    if (language == Language::Chinese
        && qtTexts.load(QStringLiteral("qtbase_zh_TW"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);

    QCommandLineParser parser;
    parser.setApplicationDescription(CliTexts::description(language));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption boardOption(QStringLiteral("board"), CliTexts::boardOption(language),
                                         QStringLiteral("8088|8052"));
    const QCommandLineOption portOption(QStringLiteral("port"), CliTexts::portOption(language),
                                        CliTexts::portValueName(language));
    const QCommandLineOption waitOption(QStringLiteral("wait"), CliTexts::waitOption(language),
                                        CliTexts::secondsValueName(language));
    const QCommandLineOption langOption(QStringLiteral("lang"), CliTexts::langOption(language),
                                        QStringLiteral("en|zh-TW"));
    parser.addOptions({boardOption, portOption, waitOption, langOption});
    parser.addPositionalArgument(CliTexts::commandName(language), CliTexts::commandArgument(language),
                                 QStringLiteral("ports|download|upload"));
    parser.addPositionalArgument(CliTexts::fileName(language), CliTexts::fileArgument(language),
                                 QLatin1Char('[') + CliTexts::fileName(language) + QLatin1Char(']'));

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(language, TransferTexts::printable(parser.errorText()));
    if (parser.isSet(versionOption)) {
        printLine(stdout, QStringLiteral("kestrion-cli %1").arg(QCoreApplication::applicationVersion()));
        return ExitCode::Done;
    }
    if (parser.isSet(helpOption)) {
        Console::print(stdout, parser.helpText());
        return ExitCode::Done;
    }
    if (!chosen)
        return usageError(language, CliTexts::badLanguage(language, languageName));

    const QStringList positional = parser.positionalArguments();
    const QString command = positional.value(0);
    if (command == QLatin1String("ports")) {
        if (positional.size() != 1)
            return usageError(language, CliTexts::fileCount(language, 0));
        NetworkPortProbe probe;
        listPorts(language, probe);
        return app.exec();
    }
    if (command != QLatin1String("download") && command != QLatin1String("upload"))
        return usageError(language, command.isEmpty() ? CliTexts::missingCommand(language)
                                                      : CliTexts::unknownCommand(language, command));
    if (parser.isSet(waitOption) && command != QLatin1String("upload"))
        return usageError(language, CliTexts::waitIsForUpload(language));

    if (!parser.isSet(boardOption))
        return usageError(language, CliTexts::missingOption(language, QStringLiteral("board")));
    const QString boardName = parser.value(boardOption);
    if (boardName != QLatin1String("8088") && boardName != QLatin1String("8052"))
        return usageError(language, CliTexts::badBoard(language, boardName));
    const Board board = boardName == QLatin1String("8052") ? Board::Vxt8052 : Board::Vxt8088;

    const QStringList ports = parser.values(portOption);
    if (ports.isEmpty())
        return usageError(language, CliTexts::missingOption(language, QStringLiteral("port")));
    if (ports.size() > 1 && command == QLatin1String("upload"))
        return usageError(language, CliTexts::onePortForUpload(language));
    QList<CliTransfer::NamedPort> choices;
    QSet<QString> named;
    for (const QString &name : ports) {
        const ParsedPortChoice parsed = parsePortChoice(name);
        if (parsed.unknown)
            return usageError(language, CliTexts::badPort(language, name));
        if (parsed.problem != AddressProblem::None) {
            PortError error;
            makeNetworkLine(name, name, &error);   // makes none, and says why
            return usageError(language, TransferTexts::portError(language, error));
        }
        const QString identity = portIdentity(parsed.choice);
        if (named.contains(identity))
            return usageError(language, CliTexts::portNamedTwice(language, name));
        named.insert(identity);
        choices.append({name, parsed.choice});
    }

    if (positional.size() != 2)
        return usageError(language, CliTexts::fileCount(language, 1));
    const QString path = positional.at(1);

    qint64 waitSeconds = 0;
    if (parser.isSet(waitOption)) {
        // Any whole number above 0; one beyond what the clock can count waits as long as
        // it can.
        static const QRegularExpression wholeNumber(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]+")));
        const QString value = parser.value(waitOption);
        bool fits = false;
        waitSeconds = value.toLongLong(&fits);
        if (!wholeNumber.match(value).hasMatch() || (fits && waitSeconds == 0))
            return usageError(language, CliTexts::badWait(language, value));
        if (!fits)
            waitSeconds = CliTransfer::MaxWaitSeconds;
    }

    CliTransfer transfer(language, board, choices);
    // Started from the event loop, so that a transfer refused at once still ends it.
    QTimer::singleShot(0, &transfer, [&] {
        if (command == QLatin1String("download"))
            transfer.download(path);
        else
            transfer.upload(path, waitSeconds);
    });
    return app.exec();
}
