#include "divedata/uddffile.h"

#include "divedata/dive.h"
#include "divedata/divefilelimits.h"
#include "divedata/safefile.h"
#include "divedata/textnumbers.h"
#include "divedata/uddfvalues.h"

#include <QHash>
#include <QIODevice>

#include <pugixml.hpp>

#include <cmath>
#include <cstring>

namespace {

// The most mixes a document may define; real documents hold a handful.
constexpr qsizetype MaxGases = DiveFileLimits::MaxGases;

// ---- writing ---------------------------------------------------------------

class ByteArrayWriter : public pugi::xml_writer
{
public:
    explicit ByteArrayWriter(QByteArray& out)
        : m_out(out)
    {
    }
    void write(const void* data, size_t size) override
    {
        m_out.append(static_cast<const char*>(data), qsizetype(size));
    }

private:
    QByteArray& m_out;
};

// Streams the document to the file in the serializer's chunks, so that no
// copy of a large document is held in memory.
class DeviceWriter : public pugi::xml_writer
{
public:
    explicit DeviceWriter(QIODevice& device)
        : m_device(device)
    {
    }
    void write(const void* data, size_t size) override
    {
        if (m_ok)
            m_ok = m_device.write(static_cast<const char*>(data), qint64(size)) == qint64(size);
    }
    bool ok() const { return m_ok; }

private:
    QIODevice& m_device;
    bool m_ok = true;
};

// Numbers go through TextNumbers rather than pugixml's printf-based setters,
// which would write "12,5" under a French C locale.
void setNumber(pugi::xml_node element, double value)
{
    char buffer[TextNumbers::ShortestChars];
    TextNumbers::formatShortest(buffer, value);
    element.text().set(buffer);
}

pugi::xml_node addNumber(pugi::xml_node parent, const char* name, double value)
{
    pugi::xml_node element = parent.append_child(name);
    setNumber(element, value);
    return element;
}

void addNumberAttribute(pugi::xml_node element, const char* name, double value)
{
    char buffer[TextNumbers::ShortestChars];
    TextNumbers::formatShortest(buffer, value);
    element.append_attribute(name).set_value(buffer);
}

void addText(pugi::xml_node parent, const char* name, const char* text)
{
    parent.append_child(name).text().set(text);
}

// A fraction as a whole percent, back as a fraction: 0.21 for 21 %.
double roundedFraction(double fraction)
{
    return std::round(fraction * 100.0) / 100.0;
}

const char* gasIdPrefix(const DiveGas& gas)
{
    switch (gas.gasClass()) {
    case DiveGas::DiluentClass:
        return "DIL";
    case DiveGas::Bailout:
        return "BO";
    default:
        return "OC";
    }
}

// The schema's alarm is one of a fixed list of kinds; the line's alert bits
// go into its level. The rapid-ascent bits (0-1) are the one alert the list
// names.
const char* alarmKind(quint8 alertFlag)
{
    return (alertFlag & 0x03) != 0 ? "ascent" : "error";
}

void addWaypoint(pugi::xml_node samples, const DiveLine& line, bool divemodeDue, const QByteArray* switchTo)
{
    // Children in the order of the schema's waypoint sequence.
    pugi::xml_node waypoint = samples.append_child("waypoint");
    if (line.alertFlag != 0) {
        pugi::xml_node alarm = waypoint.append_child("alarm");
        addNumberAttribute(alarm, "level", line.alertFlag);
        alarm.text().set(alarmKind(line.alertFlag));
    }
    if (line.decoCeiling > 0.0) {
        pugi::xml_node stop = waypoint.append_child("decostop");
        stop.append_attribute("kind").set_value("mandatory");
        addNumberAttribute(stop, "decodepth", line.decoCeiling);
        stop.append_attribute("duration").set_value("0");
    }
    addNumber(waypoint, "depth", line.depth);
    addNumber(waypoint, "divetime", std::isfinite(line.timeSec) ? std::trunc(line.timeSec) : 0.0);
    if (switchTo != nullptr)
        waypoint.append_child("switchmix").append_attribute("ref").set_value(switchTo->constData());
    // Kelvin; a temperature that is no number is written as 0 °C, not 0 K.
    addNumber(waypoint, "temperature", (std::isfinite(line.ambientTemp) ? line.ambientTemp : 0.0) + 273.15);
    if (divemodeDue)
        waypoint.append_child("divemode").append_attribute("type").set_value(line.ccr ? "closedcircuit"
                                                                                      : "opencircuit");
    if (line.decoCeiling <= 0.0 && line.ndl > 0)
        addNumber(waypoint, "nodecotime", line.ndl * 60.0);
}

// ---- reading ---------------------------------------------------------------

const char* localName(const pugi::xml_node& node)
{
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

bool isNamed(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node), name) == 0;
}

pugi::xml_node firstChild(const pugi::xml_node& parent, const char* name)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (isNamed(child, name))
            return child;
    }
    return pugi::xml_node();
}

QByteArrayView textOf(const pugi::xml_node& element)
{
    return QByteArrayView(element.child_value());
}

QString stringOf(const pugi::xml_node& element)
{
    return QString::fromUtf8(textOf(element));
}

int gasClassOfId(QByteArrayView id)
{
    if (id.startsWith("DIL") || id.startsWith("CC"))
        return DiveGas::DiluentClass;
    if (id.startsWith("BO"))
        return DiveGas::Bailout;
    return DiveGas::OpenCircuit;
}

bool readGases(const pugi::xml_node& definitions, QList<DiveGas>& gases)
{
    for (pugi::xml_node mix = definitions.first_child(); mix; mix = mix.next_sibling()) {
        if (!isNamed(mix, "mix"))
            continue;
        if (gases.size() >= MaxGases)
            return false;
        DiveGas gas;
        const QByteArrayView id(mix.attribute("id").value());
        gas.mId = QString::fromUtf8(id);
        gas.setGasClass(gasClassOfId(id));
        gas.mName = stringOf(firstChild(mix, "name"));
        // Oxygen first: a helium fraction is only taken while o2 + he <= 1.
        gas.setO2(roundedFraction(TextNumbers::valueOr(textOf(firstChild(mix, "o2")), 0.0)));
        gas.setHe(roundedFraction(TextNumbers::valueOr(textOf(firstChild(mix, "he")), 0.0)));
        gases.append(gas);
    }
    return true;
}

// Calls `visit` with each dive element of the document, in document order,
// until it returns false.
template <typename Visit>
void forEachDive(const pugi::xml_node& root, Visit&& visit)
{
    for (pugi::xml_node data = root.first_child(); data; data = data.next_sibling()) {
        if (!isNamed(data, "profiledata"))
            continue;
        for (pugi::xml_node group = data.first_child(); group; group = group.next_sibling()) {
            if (!isNamed(group, "repetitiongroup"))
                continue;
            for (pugi::xml_node dive = group.first_child(); dive; dive = dive.next_sibling()) {
                if (isNamed(dive, "dive") && !visit(dive))
                    return;
            }
        }
    }
}

// The running values of the profile: a waypoint without a value of its own
// keeps the previous one.
struct ProfileState
{
    double temperature = 20.0; // °C
    double depth = 0.0;        // m
    bool ccr = false;
    qint32 gasIndex = -1;
};

// What one waypoint says; missing values at their defaults.
struct Waypoint
{
    double depth = 0.0;
    bool hasDepth = false;
    double divetime = -1.0;
    double temperature = -1.0; // K
    double cns = 0.0;
    double decodepth = 0.0;
    double nodecotime = -1.0;
    pugi::xml_node divemode;
    pugi::xml_node switchmix;
    bool decostopSeen = false;
};

Waypoint readWaypoint(const pugi::xml_node& element)
{
    Waypoint w;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = localName(child);
        if (std::strcmp(name, "depth") == 0) {
            w.hasDepth = TextNumbers::parse(textOf(child), w.depth);
        } else if (std::strcmp(name, "divetime") == 0) {
            w.divetime = TextNumbers::valueOr(textOf(child), -1.0);
        } else if (std::strcmp(name, "temperature") == 0) {
            w.temperature = TextNumbers::valueOr(textOf(child), -1.0);
        } else if (std::strcmp(name, "cns") == 0) {
            w.cns = TextNumbers::valueOr(textOf(child), 0.0);
        } else if (std::strcmp(name, "decostop") == 0) {
            if (!w.decostopSeen)
                w.decodepth = TextNumbers::valueOr(QByteArrayView(child.attribute("decodepth").value()), 0.0);
            w.decostopSeen = true;
        } else if (std::strcmp(name, "nodecotime") == 0) {
            w.nodecotime = TextNumbers::valueOr(textOf(child), -1.0);
        } else if (std::strcmp(name, "divemode") == 0) {
            if (!w.divemode)
                w.divemode = child;
        } else if (std::strcmp(name, "switchmix") == 0) {
            if (!w.switchmix)
                w.switchmix = child;
        }
    }
    return w;
}

// Appends the lines of the waypoints; false beyond `maxLines`.
bool readSamples(const pugi::xml_node& samples, const QHash<QString, qint32>& gasByRef, qsizetype maxLines,
                 QList<DiveLine>& lines)
{
    ProfileState state;
    for (pugi::xml_node element = samples.first_child(); element; element = element.next_sibling()) {
        if (!isNamed(element, "waypoint"))
            continue;
        const Waypoint w = readWaypoint(element);
        if (!(w.divetime >= 0.0))
            continue;
        if (lines.size() + 2 > maxLines)
            return false;
        if (lines.isEmpty() && w.divetime >= 1.0)
            lines.append(DiveLine()); // the dive starts at the surface

        DiveLine line;
        line.timeSec = w.divetime;
        if (w.hasDepth)
            state.depth = w.depth;
        line.depth = state.depth;
        line.cns = w.cns;
        line.decoCeiling = w.decodepth;
        if (w.nodecotime >= 0.0)
            line.ndl = TextNumbers::clampedTo<qint16>(std::round(w.nodecotime / 60.0));
        if (w.temperature > -1.0)
            state.temperature = w.temperature - 273.15;
        line.ambientTemp = state.temperature;
        if (w.divemode)
            state.ccr = std::strcmp(w.divemode.attribute("type").value(), "closedcircuit") == 0;
        line.ccr = state.ccr;
        if (w.switchmix) {
            const auto found = gasByRef.constFind(QString::fromUtf8(w.switchmix.attribute("ref").value()));
            if (found != gasByRef.constEnd())
                state.gasIndex = found.value();
        }
        line.gasIndex = state.gasIndex;
        lines.append(line);
    }
    return true;
}

} // namespace

namespace {

void buildDocument(const Dive& dive, pugi::xml_document& document)
{
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");

    pugi::xml_node root = document.append_child("uddf");
    root.append_attribute("xmlns:xsd").set_value("http://www.w3.org/2001/XMLSchema");
    root.append_attribute("xmlns:xsi").set_value("http://www.w3.org/2001/XMLSchema-instance");
    root.append_attribute("version").set_value("3.2.3");
    root.append_attribute("xmlns").set_value("http://www.streit.cc/uddf/3.2/");

    pugi::xml_node generator = root.append_child("generator");
    addText(generator, "name", "Tessaly Systems Dive Log");
    addText(generator, "type", "logbook");
    addText(generator, "version", "2.9.3");
    addText(generator, "datetime", "2024-01-17T11:16:00Z");

    // Ids are numbered in one pass so that switchmix references match them.
    QList<QByteArray> gasIds;
    gasIds.reserve(dive.gases.size());
    if (!dive.gases.isEmpty()) {
        pugi::xml_node definitions = root.append_child("gasdefinitions");
        for (qsizetype i = 0; i < dive.gases.size(); ++i) {
            const DiveGas& gas = dive.gases.at(i);
            gasIds.append(gasIdPrefix(gas) + QByteArray::number(i + 1));
            pugi::xml_node mix = definitions.append_child("mix");
            mix.append_attribute("id").set_value(gasIds.last().constData());
            // The schema requires a name: an unnamed gas gets an empty one.
            pugi::xml_node name = mix.append_child("name");
            if (!gas.mName.isEmpty())
                name.text().set(gas.mName.toUtf8().constData());
            addNumber(mix, "o2", roundedFraction(gas.o2));
            addNumber(mix, "he", roundedFraction(gas.he));
        }
    }

    // Ids are unique in a document and must be XML names: the group's id
    // cannot be "000000", and the dive's (its name, "000000" when it has none)
    // is escaped where it is not a name or clashes with another id.
    const QByteArray groupId = QByteArrayLiteral("_000000");
    QList<QByteArray> taken = gasIds;
    taken.append(groupId);
    const QString diveName = dive.name.isEmpty() ? QStringLiteral("000000") : dive.name;

    pugi::xml_node profile = root.append_child("profiledata");
    pugi::xml_node group = profile.append_child("repetitiongroup");
    group.append_attribute("id").set_value(groupId.constData());
    pugi::xml_node diveElement = group.append_child("dive");
    diveElement.append_attribute("id").set_value(UddfValues::encodeId(diveName, taken).constData());

    // The schema requires the dive's date before the samples.
    pugi::xml_node before = diveElement.append_child("informationbeforedive");
    addText(before, "datetime", UddfValues::formatDateTime(dive.beginTime).constData());

    double greatestDepth = 0.0;
    double duration = 0.0;
    if (!dive.lines.isEmpty()) {
        // The schema allows no empty samples element.
        pugi::xml_node samples = diveElement.append_child("samples");
        qint32 lastGas = -1;
        for (qsizetype i = 0; i < dive.lines.size(); ++i) {
            const DiveLine& line = dive.lines.at(i);
            const bool divemodeDue = i == 0 || line.ccr != dive.lines.at(i - 1).ccr;
            const QByteArray* switchTo = nullptr;
            if (line.gasIndex != lastGas && line.gasIndex >= 0 && line.gasIndex < gasIds.size()) {
                switchTo = &gasIds.at(line.gasIndex);
                lastGas = line.gasIndex;
            }
            addWaypoint(samples, line, divemodeDue, switchTo);
            if (line.depth > greatestDepth)
                greatestDepth = line.depth;
            if (line.timeSec > duration)
                duration = std::trunc(line.timeSec);
        }
    }

    // And the greatest depth and the duration after them.
    pugi::xml_node after = diveElement.append_child("informationafterdive");
    addNumber(after, "greatestdepth", greatestDepth);
    addNumber(after, "diveduration", duration);
}

void saveDocument(const pugi::xml_document& document, pugi::xml_writer& writer)
{
    // XML 1.0 cannot carry control characters other than tab and line
    // breaks, not even as references: a name holding one loses it.
    document.save(writer, "  ", pugi::format_indent | pugi::format_skip_control_chars, pugi::encoding_utf8);
}

} // namespace

QByteArray UddfFile::toDocument(const Dive& dive)
{
    pugi::xml_document document;
    buildDocument(dive, document);
    QByteArray bytes;
    ByteArrayWriter writer(bytes);
    saveDocument(document, writer);
    return bytes;
}

bool UddfFile::writeDive(const QString& path, const Dive& dive)
{
    if (dive.lines.size() > MaxLines)
        return false;
    pugi::xml_document document;
    buildDocument(dive, document);
    return saveFileAtomically(path, [&document](QIODevice& device) {
        DeviceWriter writer(device);
        saveDocument(document, writer);
        return writer.ok();
    });
}

bool UddfFile::readDocument(QByteArray document, Dive& dive)
{
    QList<Dive> dives;
    ReadProblem problem = ReadProblem::None;
    if (!readDocumentDives(std::move(document), dive, 1, dives, problem))
        return false;
    dive = std::move(dives.first());
    return true;
}

bool UddfFile::readDocumentDives(QByteArray document, const Dive& base, qsizetype maxDives, QList<Dive>& dives,
                                 ReadProblem& problem)
{
    problem = ReadProblem::Damaged;
    if (document.size() > MaxFileBytes)
        return false;
    pugi::xml_document tree;
    // Parsed in place: the tree points into the bytes, which outlive it.
    document.detach();
    const pugi::xml_parse_result parsed = tree.load_buffer_inplace(document.data(), size_t(document.size()),
                                                                   pugi::parse_default, pugi::encoding_auto);
    if (!parsed)
        return false;
    const pugi::xml_node root = tree.document_element();
    if (!isNamed(root, "uddf"))
        return false;

    // What every dive of the document shares: the gases and the computer.
    Dive common = base;
    if (!readGases(firstChild(root, "gasdefinitions"), common.gases)) {
        problem = ReadProblem::OutOfLimits;
        return false;
    }
    const pugi::xml_node computer =
        firstChild(firstChild(firstChild(firstChild(root, "diver"), "owner"), "equipment"), "divecomputer");
    if (computer) {
        common.computerName = stringOf(firstChild(computer, "name"));
        common.computerSerial = stringOf(firstChild(computer, "serialnumber"));
    }
    QHash<QString, qint32> gasByRef;
    for (qsizetype i = common.gases.size() - 1; i >= 0; --i)
        gasByRef.insert(common.gases.at(i).mId, qint32(i)); // the first gas of an id wins

    // Dives without samples (a "previous dive" that only carries the surface
    // interval, say) are passed over. The lines of all dives together stay
    // within MaxLines.
    QList<Dive> read;
    qsizetype linesLeft = MaxLines;
    bool ok = true;
    forEachDive(root, [&](const pugi::xml_node& diveElement) {
        QList<DiveLine> lines = common.lines;
        const qsizetype linesBefore = lines.size();
        if (!readSamples(firstChild(diveElement, "samples"), gasByRef, linesBefore + linesLeft, lines)) {
            ok = false;
            return false;
        }
        if (lines.size() == linesBefore)
            return true;
        if (lines.constLast().depth != 0.0) {
            DiveLine surface = lines.constLast();
            surface.depth = 0.0;
            lines.append(surface); // the dive ends at the surface
        }
        if (!DiveFileLimits::linesAreSane(lines)) {
            problem = ReadProblem::OutOfLimits;
            ok = false;
            return false;
        }
        linesLeft -= lines.size() - linesBefore;
        Dive result = common;
        result.lines = std::move(lines);
        result.name = UddfValues::decodeId(QByteArrayView(diveElement.attribute("id").value()));
        if (result.name.isEmpty())
            result.name = DiveFileLimits::defaultDiveName();
        qint64 beginTime = 0;
        if (!UddfValues::parseDateTime(
                textOf(firstChild(firstChild(diveElement, "informationbeforedive"), "datetime")), beginTime))
            beginTime = 0;
        result.beginTime = beginTime;
        result.rebuildCeilingProfile();
        read.append(std::move(result));
        return read.size() < maxDives;
    });
    if (!ok)
        return false;
    if (read.isEmpty()) {
        problem = ReadProblem::NoProfile;
        return false;
    }
    problem = ReadProblem::None;
    dives.append(std::move(read));
    return true;
}

bool UddfFile::readDive(const QString& path, Dive& dive)
{
    QList<Dive> dives;
    if (!readFile(path, dive, 1, dives))
        return false;
    dive = std::move(dives.first());
    return true;
}

bool UddfFile::readDives(const QString& path, QList<Dive>& dives)
{
    return readFile(path, Dive(), DiveFileLimits::MaxDives, dives);
}

bool UddfFile::readFile(const QString& path, const Dive& base, qsizetype maxDives, QList<Dive>& dives)
{
    clearReadProblem();
    QByteArray bytes;
    if (!readFileCapped(path, MaxFileBytes, bytes))
        return refuseUnread(path);
    ReadProblem problem = ReadProblem::None;
    if (!readDocumentDives(std::move(bytes), base, maxDives, dives, problem))
        return refuse(problem);
    return true;
}
