#include "midi_input.h"

#include <RtMidi.h>
#include <jack/jack.h>

#include <QFileInfo>
#include <QPointer>

#include <optional>
#include <set>

namespace lirra {

struct MidiInput::Source {
    int id = 0;
    QString name;
    std::unique_ptr<RtMidiIn> port;
    MidiTranslator translator; // main thread only
    QPointer<MidiInput> owner;
};

namespace {

// RtMidi's warnings and errors: a device that vanished between a scan and
// its connection is not worth a line.
void ignoreMidiError(RtMidiError::Type, const std::string &, void *data)
{
    if (data)
        *static_cast<bool *>(data) = true;
}

// Without a JACK server, the JACK library would tell standard error so on
// every look for ports.
void quiet(const char *) {}

// Asked before RtMidi is, which would tell standard error when there is none.
bool jackServerRuns()
{
    jack_set_error_function(&quiet);
    jack_set_info_function(&quiet);
    jack_status_t status{};
    jack_client_t *probe = jack_client_open("lirra-probe", JackNoStartServer, &status);
    if (!probe)
        return false;
    jack_client_close(probe);
    return true;
}

std::unique_ptr<RtMidiIn> openClient(int api, const QString &name, bool *failed = nullptr)
{
    try {
        auto client = std::make_unique<RtMidiIn>(RtMidi::Api(api), name.toStdString());
        client->setErrorCallback(&ignoreMidiError, failed);
        return client;
    } catch (const RtMidiError &) {
        return nullptr;
    }
}

} // namespace

void MidiInput::received(double, std::vector<unsigned char> *message, void *data)
{
    auto *source = static_cast<MidiInput::Source *>(data);
    if (!message || message->empty())
        return;
    std::vector<std::uint8_t> bytes(message->begin(), message->end());
    MidiInput *owner = source->owner.data();
    const int id = source->id;
    if (owner) {
        QMetaObject::invokeMethod(owner, [owner, id, bytes = std::move(bytes)]() { owner->deliver(id, bytes); },
                                  Qt::QueuedConnection);
    }
}

MidiInput::MidiInput(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
    m_scanTimer.setInterval(m_options.scanIntervalMs);
    connect(&m_scanTimer, &QTimer::timeout, this, &MidiInput::scan);
}

MidiInput::~MidiInput()
{
    // Each port's thread stops with its port, before the sources go.
    for (auto &[id, source] : m_sources)
        source->port.reset();
}

bool MidiInput::start()
{
    if (m_scanner)
        return true;
    std::vector<int> apis;
    if (m_options.api != Api::jack && QFileInfo::exists(QStringLiteral("/dev/snd/seq")))
        apis.push_back(RtMidi::LINUX_ALSA);
    if (m_options.api != Api::alsa && jackServerRuns())
        apis.push_back(RtMidi::UNIX_JACK);
    for (int api : apis) {
        // RtMidi reaches a JACK server only when asked for ports.
        bool failed = false;
        m_scanner = openClient(api, m_options.clientName, &failed);
        if (m_scanner)
            m_scanner->getPortCount();
        if (m_scanner && !failed) {
            m_scanner->setErrorCallback(&ignoreMidiError);
            m_api = api;
            break;
        }
        m_scanner.reset();
    }
    if (!m_scanner)
        return false;
    scan();
    m_scanTimer.start();
    return true;
}

QString MidiInput::apiName() const
{
    if (!m_scanner)
        return {};
    return m_api == RtMidi::LINUX_ALSA ? QStringLiteral("alsa") : QStringLiteral("jack");
}

QStringList MidiInput::connectedPorts() const
{
    QStringList names;
    for (const auto &[id, source] : m_sources)
        names << source->name;
    return names;
}

void MidiInput::scan()
{
    std::set<QString> present;
    std::vector<QString> fresh;
    const unsigned count = m_scanner->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        const QString name = QString::fromStdString(m_scanner->getPortName(i));
        // Our own ports, and the system's announce and timer ports.
        if (name.isEmpty() || name.startsWith(m_options.clientName) || name.startsWith(QLatin1String("System:")))
            continue;
        present.insert(name);
        const bool connected = std::any_of(m_sources.begin(), m_sources.end(),
                                           [&](const auto &entry) { return entry.second->name == name; });
        if (!connected)
            fresh.push_back(name);
    }

    bool changed = false;
    for (auto it = m_sources.begin(); it != m_sources.end();) {
        if (present.count(it->second->name) == 0) {
            it = m_sources.erase(it); // unplugged: its port closes here
            changed = true;
        } else {
            ++it;
        }
    }
    for (const QString &name : fresh) {
        auto source = std::make_unique<Source>();
        source->id = m_nextSource++;
        source->name = name;
        source->owner = this;
        source->port = openClient(m_api, m_options.clientName);
        if (!source->port)
            continue;
        // Ports come and go between the scan and here: find this one again by
        // name in the new client's own list.
        std::optional<unsigned> at;
        const unsigned ports = source->port->getPortCount();
        for (unsigned i = 0; i < ports && !at; ++i) {
            if (QString::fromStdString(source->port->getPortName(i)) == name)
                at = i;
        }
        if (!at)
            continue;
        source->port->ignoreTypes(true, true, true);
        source->port->setCallback(&received, source.get());
        source->port->openPort(*at, "input");
        if (!source->port->isPortOpen())
            continue;
        m_sources.emplace(source->id, std::move(source));
        changed = true;
    }
    if (changed)
        emit portsChanged(connectedPorts());
}

void MidiInput::deliver(int source, const std::vector<std::uint8_t> &bytes)
{
    const auto it = m_sources.find(source);
    if (it == m_sources.end())
        return; // from a port closed since
    for (const NoteInput &input : it->second->translator.translate(bytes)) {
        if (input.pressed)
            emit notePressed(input.note);
        else
            emit noteReleased(input.note);
    }
}

} // namespace lirra
