// Writes the summary of a benchmark run made by scripts/bench.sh --summary, or compares
// the instruction counts of two summaries.
//
//   benchsummary RUN_DIR OUTPUT   RUN_DIR holds timing/*.json, the timed runs in Google
//                                 Benchmark's JSON, and pass1/ and pass2/ with one
//                                 NAME.json and NAME.callgrind per counted benchmark
//   benchsummary --compare A B    prints each count of B against A; fails when one
//                                 differs by 1% or more
//
// A benchmark "f/arg" or "f" is measured against its floor "fFloor/arg" or "fFloor".

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QRegularExpression>
#include <QtCore/QTextStream>

#include <cmath>
#include <optional>

namespace {

struct Figures
{
    std::optional<double> instructions;
    std::optional<double> timeNs;
    std::optional<double> guiBlockMs;
};

// The name as the benchmark prints it, without the run's iterations, repetitions and
// time measure.
QString benchmarkName(const QJsonObject &run)
{
    static const QRegularExpression runSuffix(
            "(/iterations:[0-9]+)?(/repeats:[0-9]+)?(/real_time|/manual_time)?$");
    return run.value("run_name").toString().remove(runSuffix);
}

// Google Benchmark writes a statistic it cannot compute (the variation of a counter that
// is always 0) as nan, which JSON has no word for: it reads as null here.
QJsonObject readJson(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    static const QRegularExpression notANumber(":\\s*-?(nan|inf|infinity)\\b",
                                               QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(file.readAll()).replace(notANumber, ": null");
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

double nanoseconds(const QJsonObject &run, const QString &field)
{
    static const QHash<QString, double> perUnit{{"ns", 1}, {"us", 1e3}, {"ms", 1e6}, {"s", 1e9}};
    return run.value(field).toDouble() * perUnit.value(run.value("time_unit").toString(), 1);
}

// The instructions callgrind collected: its "totals:" line.
std::optional<double> collected(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QByteArray field = "totals:";
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toDouble();
    }
    return std::nullopt;
}

// The counted benchmark of one pass: its name and iterations, and the instructions.
struct Pass
{
    QString name;
    double iterations = 0;
    double instructions = 0;
};

std::optional<Pass> readPass(const QDir &dir, const QString &id)
{
    const QJsonArray runs = readJson(dir.filePath(id + ".json")).value("benchmarks").toArray();
    const std::optional<double> instructions = collected(dir.filePath(id + ".callgrind"));
    if (runs.isEmpty() || !instructions || runs.at(0).toObject().contains("error_message"))
        return std::nullopt;
    const QJsonObject run = runs.at(0).toObject();
    return Pass{benchmarkName(run), run.value("iterations").toDouble(),
                *instructions};
}

void readTimings(const QDir &dir, QMap<QString, Figures> &figures, QStringList &order)
{
    for (const QString &file : dir.entryList({"*.json"}, QDir::Files, QDir::Name)) {
        const QJsonArray runs = readJson(dir.filePath(file)).value("benchmarks").toArray();
        for (const QJsonValue &value : runs) {
            const QJsonObject run = value.toObject();
            const bool aggregate = run.value("run_type").toString() == "aggregate";
            if (aggregate && run.value("aggregate_name").toString() != "median")
                continue;
            const QString name = benchmarkName(run);
            if (!figures.contains(name))
                order << name;
            Figures &entry = figures[name];
            // Wall-clock time where the benchmark measures it, else the CPU time, which
            // the other processes of a loaded machine leave as it is.
            const bool wallClock = run.value("run_name").toString().contains(
                    QRegularExpression("/(real|manual)_time$"));
            entry.timeNs = nanoseconds(run, wallClock ? "real_time" : "cpu_time");
            if (run.contains("max_gui_block_ms"))
                entry.guiBlockMs = run.value("max_gui_block_ms").toDouble();
        }
    }
}

QStringList readCounts(const QDir &runDir, QMap<QString, Figures> &figures, QStringList &order)
{
    QStringList problems;
    const QDir first(runDir.filePath("pass1"));
    const QDir second(runDir.filePath("pass2"));
    for (const QString &file : first.entryList({"*.json"}, QDir::Files, QDir::Name)) {
        const QString id = file.chopped(5);
        const std::optional<Pass> one = readPass(first, id);
        const std::optional<Pass> two = readPass(second, id);
        if (!one || !two || one->name != two->name || two->iterations <= one->iterations
            || two->instructions <= 0) {
            problems << id;
            continue;
        }
        if (!figures.contains(one->name))
            order << one->name;
        figures[one->name].instructions = (two->instructions - one->instructions)
                / (two->iterations - one->iterations);
    }
    return problems;
}

QString floorOf(const QString &name)
{
    const int slash = name.indexOf('/');
    if (slash < 0)
        return name + "Floor";
    return name.left(slash) + "Floor" + name.mid(slash);
}

QJsonValue number(std::optional<double> value, int decimals)
{
    if (!value)
        return QJsonValue::Null;
    const double scale = std::pow(10.0, decimals);
    return std::round(*value * scale) / scale;
}

int writeSummary(const QString &runDir, const QString &output)
{
    QMap<QString, Figures> figures;
    QStringList order;
    readTimings(QDir(QDir(runDir).filePath("timing")), figures, order);
    const QStringList problems = readCounts(QDir(runDir), figures, order);

    QJsonObject summary;
    for (const QString &name : order) {
        const Figures &entry = figures[name];
        QString floorName = floorOf(name);
        if (!figures.contains(floorName))
            floorName = floorName.section('/', 0, 0);
        const bool hasFloor = figures.contains(floorName) && floorName != name;
        const std::optional<double> floor
                = hasFloor ? figures[floorName].instructions : std::nullopt;
        std::optional<double> ratio;
        if (entry.instructions && floor && *floor > 0)
            ratio = *entry.instructions / *floor;
        summary.insert(name,
                       QJsonObject{{"instructions_per_op", number(entry.instructions, 0)},
                                   {"floor_instructions_per_op", number(floor, 0)},
                                   {"ratio", number(ratio, 3)},
                                   {"max_gui_block_ms", number(entry.guiBlockMs, 3)},
                                   {"time_ns", number(entry.timeNs, 1)}});
    }
    QFile file(output);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(QJsonDocument(summary).toJson()) < 0 || !file.flush()) {
        qCritical("cannot write %s", qPrintable(output));
        return 1;
    }
    if (!problems.isEmpty()) {
        qCritical("no instruction count for: %s", qPrintable(problems.join(", ")));
        return 1;
    }
    return 0;
}

int compare(const QString &first, const QString &second)
{
    const QJsonObject a = readJson(first);
    const QJsonObject b = readJson(second);
    QTextStream out(stdout);
    int differing = 0;
    for (auto entry = a.begin(); entry != a.end(); ++entry) {
        for (const char *field : {"instructions_per_op", "floor_instructions_per_op"}) {
            const double before = entry.value().toObject().value(field).toDouble();
            const double after = b.value(entry.key()).toObject().value(field).toDouble();
            if (before <= 0 && after <= 0)
                continue;
            const double change = before > 0 ? (after - before) / before * 100 : 100;
            const bool differs = std::fabs(change) >= 1;
            differing += differs;
            out << (differs ? "DIFFERS " : "        ") << entry.key() << ' ' << field << ": "
                << before << " -> " << after << QString::asprintf(" (%+.3f%%)", change) << '\n';
        }
    }
    return differing ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() == 3 && arguments.at(0) == "--compare")
        return compare(arguments.at(1), arguments.at(2));
    if (arguments.size() == 2)
        return writeSummary(arguments.at(0), arguments.at(1));
    qCritical("usage: benchsummary RUN_DIR OUTPUT | benchsummary --compare A B");
    return 2;
}
