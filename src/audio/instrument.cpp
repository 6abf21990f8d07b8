#include "instrument.h"

#include "audio/fluid_library.h"
#include "audio/fluid_log.h"
#include "model/localization.h"

#include <QFile>
#include <QFileInfo>

namespace lirra {

QStringList instrumentCandidates(const QString &soundFont, const QStringList &fallbacks, fluid_settings_t *settings)
{
    QStringList candidates{soundFont};
    if (!fallbacks.isEmpty()) {
        candidates += fallbacks;
    } else if (settings) {
        char *systemDefault = nullptr;
        if (fluid().fluid_settings_dupstr(settings, "synth.default-soundfont", &systemDefault) == FLUID_OK && systemDefault) {
            candidates << QString::fromLocal8Bit(systemDefault);
            fluid().fluid_free(systemDefault);
        }
    }
    return candidates;
}

namespace {

// Why a file cannot be a SoundFont bank, from a look at it; empty when it may be.
QString soundFontFileProblem(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("there is no such file");
    if (!info.isFile())
        return info.isDir() ? QStringLiteral("it is a folder") : QStringLiteral("it is not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray header = file.read(12);
    if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "sfbk")
        return QStringLiteral("it is not a SoundFont file");
    return {};
}

Error noInstrument(const QStringList &reasons)
{
    return Error{QStringLiteral("MIDINotePlayer"), 3, localized("instrumentFailed"),
                 QStringLiteral("No instrument could be loaded, so nothing would sound: %1.").arg(reasons.join(QStringLiteral("; ")))};
}

} // namespace

std::optional<Error> instrumentFilesProblem(const QStringList &candidates)
{
    QStringList reasons;
    for (const QString &path : candidates) {
        const QString problem = soundFontFileProblem(path);
        if (problem.isEmpty())
            return std::nullopt;
        reasons << QStringLiteral("%1: %2").arg(path, problem);
    }
    return noInstrument(reasons);
}

InstrumentOutcome loadInstrument(fluid_synth_t *synth, const QStringList &candidates, std::initializer_list<int> channels)
{
    int soundFont = FLUID_FAILED;
    QString loaded;
    QStringList reasons;
    {
        FluidLogCapture capture;
        for (const QString &path : candidates) {
            if (const QString problem = soundFontFileProblem(path); !problem.isEmpty()) {
                reasons << QStringLiteral("%1: %2").arg(path, problem);
                continue;
            }
            soundFont = fluid().fluid_synth_sfload(synth, QFile::encodeName(path).constData(), 0);
            if (soundFont != FLUID_FAILED) {
                loaded = path;
                break;
            }
            const QString why = capture.take();
            reasons << QStringLiteral("%1: it is damaged (%2)").arg(path, why.isEmpty() ? QStringLiteral("FluidSynth could not read it") : why);
        }
    }
    if (soundFont == FLUID_FAILED)
        return {QString(), noInstrument(reasons)};
    for (int channel : channels)
        fluid().fluid_synth_program_select(synth, channel, soundFont, 0, 0);
    if (loaded != candidates.first())
        return {QStringLiteral("⚠️ The instrument %1 could not be loaded (%2); using %3 instead")
                    .arg(candidates.first(), reasons.value(0), loaded),
                std::nullopt};
    return {};
}

} // namespace lirra
