#include "window/program_arguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "app/program_version.h"
#include "commands/menu_commands.h"
#include "files/file_io.h"

namespace ccp::qt {

namespace {

constexpr int kWrongUsage = 2;

struct Options {
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Prints this text and ends.")};
  QCommandLineOption version{QStringLiteral("version"),
                             QStringLiteral("Prints the About line, the model, edition and "
                                            "port of this build, and ends.")};
  QCommandLineOption lpt1{QStringLiteral("lpt1"),
                          QStringLiteral("The device behind LPT1: /dev/parportN or an I/O base "
                                         "such as 0xd010."),
                          QStringLiteral("DEVICE")};
  QCommandLineOption lpt2{QStringLiteral("lpt2"), QStringLiteral("The device behind LPT2."),
                          QStringLiteral("DEVICE")};
};

// The parser names the program after the running application, if any: name it after the
// arguments instead, the same before and after the application exists.
QString helpText(const QCommandLineParser& parser, const QStringList& arguments) {
  const QString name = arguments.isEmpty() ? QStringLiteral("capcode-programmer")
                                           : QFileInfo(arguments.first()).fileName();
  QString text = parser.helpText();
  const QString usage = QStringLiteral("Usage: ");
  const qsizetype end = text.indexOf(QStringLiteral(" [options]"));
  if (text.startsWith(usage) && end > 0) text.replace(0, end, usage + name);
  return text;
}

}  // namespace

WindowStart parseWindowArguments(const QStringList& arguments, const BuildConfig& config,
                                 PortKind port) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Programs pagers of the QPX730 family. Opens FILE, a configuration file, once started."));
  const Options o;
  parser.addOptions({o.help, o.version, o.lpt1, o.lpt2});
  parser.addPositionalArgument(QStringLiteral("FILE"),
                               QStringLiteral("A configuration file to open."),
                               QStringLiteral("[FILE]"));

  WindowStart start;
  const bool parsed = parser.parse(arguments);
  if (parser.isSet(o.help) || parser.isSet(o.version)) {
    start.exitStatus = 0;
    start.text = parser.isSet(o.help) ? helpText(parser, arguments)
                                      : QString::fromStdString(versionText(config, port));
    return start;
  }
  if (!parsed || parser.positionalArguments().size() > 1) {
    start.exitStatus = kWrongUsage;
    start.textIsError = true;
    const QString error =
        parsed ? QStringLiteral("Only one file can be opened.") : parser.errorText();
    start.text = error + '\n' + helpText(parser, arguments);
    return start;
  }
  for (const auto& [option, device] :
       {std::pair{&o.lpt1, &start.ports.lpt1}, std::pair{&o.lpt2, &start.ports.lpt2}}) {
    if (!parser.isSet(*option)) continue;
    const ParsedDevice parsed = parsePortDevice(parser.value(*option).toStdString());
    if (!parsed.device) {
      start.exitStatus = kWrongUsage;
      start.textIsError = true;
      start.text = QStringLiteral("--%1: %2\n")
                       .arg(option->names().first(), QString::fromStdString(parsed.error));
      return start;
    }
    *device = parsed.device;
  }
  // The file as the open dialog would return it; "link/../x" is the file the shell means.
  if (!parser.positionalArguments().isEmpty()) {
    start.file = QString::fromLocal8Bit(
        dialogPath(parser.positionalArguments().first().toLocal8Bit().toStdString()));
  }
  return start;
}

}  // namespace ccp::qt
