#include "TMediaPlayer.h"
#include "SoundFileCheck.h"
#include "SoundLibrary.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <cmath>
#include <limits>
#include <map>

namespace {

// Only called once audio is open, or to open it: the first call loads.
const SoundLibrary &sound()
{
    static const SoundLibrary api = SoundLibrary::load(QStringLiteral("SDL2-2.0"), QStringLiteral("SDL2_mixer-2.0"));
    return api;
}

} // namespace

// Delivers SDL_mixer's end-of-music hook, which runs on SDL's audio thread,
// to the player that started the sound, on the main thread.
class MixerDispatch : public QObject
{
public:
    struct FinishedEvent : QEvent
    {
        FinishedEvent(quint64 s, TMediaPlayer::TMPNotifyValues v)
            : QEvent(type()), serial(s), value(v)
        {
        }
        static QEvent::Type type()
        {
            static const int t = QEvent::registerEventType();
            return QEvent::Type(t);
        }
        quint64 serial;
        TMediaPlayer::TMPNotifyValues value;
    };

    static MixerDispatch *instance()
    {
        static MixerDispatch *dispatch = [] {
            auto *d = new MixerDispatch;
            if (QCoreApplication::instance())
                d->moveToThread(QCoreApplication::instance()->thread());
            return d;
        }();
        return dispatch;
    }

    void post(quint64 serial, TMediaPlayer::TMPNotifyValues value)
    {
        if (serial != 0)
            QCoreApplication::postEvent(this, new FinishedEvent(serial, value));
    }

    bool event(QEvent *e) override
    {
        if (e->type() != FinishedEvent::type())
            return QObject::event(e);
        auto *fe = static_cast<FinishedEvent *>(e);
        // The player may have been destroyed since: owners forget their sounds.
        const auto it = owners.find(fe->serial);
        if (it != owners.end()) {
            TMediaPlayer *p = it->second;
            owners.erase(it);
            p->finished(fe->serial, fe->value);
        }
        return true;
    }

    // Which player started each sound whose notice is still due (main thread only).
    std::map<quint64, TMediaPlayer *> owners;
    // Serial of the sound in the music stream, 0 when none. Whoever takes it
    // (the end hook or a Stop) sends the one notice for that sound.
    std::atomic<quint64> playing{0};
    quint64 lastSerial = 0;
    bool audioOpen = false;
    bool audioClosed = false;
    bool dummy = false;
};

namespace {

void musicFinishedHook()
{
    MixerDispatch *d = MixerDispatch::instance();
    d->post(d->playing.exchange(0), TMediaPlayer::nvSuccessful);
}

void closeAudio()
{
    MixerDispatch *d = MixerDispatch::instance();
    if (!d->audioOpen)
        return;
    d->playing.store(0);
    sound().Mix_HookMusicFinished(nullptr);
    sound().Mix_HaltMusic();
    sound().Mix_CloseAudio();
    sound().Mix_Quit();
    sound().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    d->audioOpen = false;
    d->audioClosed = true;
}

bool tryOpenDevice()
{
    if (sound().SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (sound().Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0)
        return true;
    sound().SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
}

// Opened on the first Open only: a clock that never plays a sound never
// touches the sound system.
void ensureAudio()
{
    MixerDispatch *d = MixerDispatch::instance();
    if (d->audioOpen)
        return;
    sound().require();
    // SDL would take SIGINT and SIGTERM for an event queue nobody reads:
    // the program ends itself on those, also while a sound plays.
    sound().SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // FluidSynth reports no MIDI length and runs on after the end; Timidity
    // with freepats knows the length.
    sound().SDL_SetHint("SDL_MIXER_DISABLE_FLUIDSYNTH", "1");
    for (const char *cfg : {"/etc/timidity/freepats.cfg", "/usr/share/midi/freepats/freepats.cfg"})
        if (QFileInfo::exists(QString::fromLatin1(cfg))) {
            sound().Mix_SetTimidityCfg(cfg);
            break;
        }
    sound().Mix_Init(MIX_INIT_MID | MIX_INIT_MP3);
    if (!tryOpenDevice()) {
        const QString reason = QString::fromUtf8(sound().SDL_GetError());
        sound().SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (!tryOpenDevice())
            throw EMCIDeviceError(QStringLiteral("No sound device could be opened: %1").arg(reason));
    }
    const char *driver = sound().SDL_GetCurrentAudioDriver();
    d->dummy = driver && qstrcmp(driver, "dummy") == 0;
    sound().Mix_HookMusicFinished(musicFinishedHook);
    d->audioOpen = true;
    d->audioClosed = false;
    qAddPostRoutine(closeAudio);
}

// Stops the music stream and sends the notice of the sound it cut.
void haltStream()
{
    MixerDispatch *d = MixerDispatch::instance();
    if (!d->audioOpen)
        return;
    d->post(d->playing.exchange(0), TMediaPlayer::nvAborted);
    sound().Mix_HaltMusic();
}

} // namespace

TMediaPlayer::TMediaPlayer(QObject *parent)
    : QObject(parent)
{
}

TMediaPlayer::~TMediaPlayer()
{
    Close();
    auto &owners = MixerDispatch::instance()->owners;
    for (auto it = owners.begin(); it != owners.end();)
        it = it->second == this ? owners.erase(it) : std::next(it);
}

TMediaPlayer::TMPDeviceTypes TMediaPlayer::deviceForFile(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("wav"))
        return dtWaveAudio;
    if (ext == QLatin1String("mid") || ext == QLatin1String("midi") || ext == QLatin1String("rmi"))
        return dtSequencer;
    if (ext == QLatin1String("mp3"))
        return dtMPEGAudio;
    return dtAutoSelect;
}

bool TMediaPlayer::silent()
{
    return MixerDispatch::instance()->dummy;
}

void TMediaPlayer::Open()
{
    Close();
    const QString name = FileName;
    const TMPDeviceTypes device = DeviceType == dtAutoSelect ? deviceForFile(name) : DeviceType;
    if (device == dtAutoSelect)
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": no sound device plays files of this kind").arg(name));
    const QFileInfo info(name);
    if (!info.exists())
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": the file does not exist").arg(name));
    if (!info.isFile() || !info.isReadable())
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": the file cannot be read").arg(name));

    if (device == dtWaveAudio && !waveFormatUsable(name))
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": the wave file declares a channel count, sample rate or block size that cannot be played").arg(name));
    if (device == dtSequencer && !midiHeaderUsable(name))
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": the MIDI file is damaged").arg(name));
    ensureAudio();
    const Mix_MusicType type = device == dtWaveAudio ? MUS_WAV : device == dtSequencer ? MUS_MID : MUS_MP3;
    SDL_RWops *rw = sound().SDL_RWFromFile(QFile::encodeName(name).constData(), "rb");
    if (!rw)
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": %2").arg(name, QString::fromUtf8(sound().SDL_GetError())));
    Mix_Music *music = sound().Mix_LoadMUSType_RW(rw, type, SDL_TRUE);
    if (!music)
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": %2").arg(name, QString::fromUtf8(sound().SDL_GetError())));
    const double seconds = sound().Mix_MusicDuration(music);
    if (!(seconds > 0.0)) {
        sound().Mix_FreeMusic(music);
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": the length of the sound is unknown").arg(name));
    }
    // The length is what SDL makes of the declared data, which a damaged
    // header can make weeks long; the length in milliseconds must fit.
    if (seconds * 1000.0 > double(std::numeric_limits<int>::max())) {
        sound().Mix_FreeMusic(music);
        throw EMCIDeviceError(QStringLiteral("Cannot open \"%1\": the file declares a sound of more than 24 days").arg(name));
    }
    m_music = music;
    m_openName = name;
    m_length = int(std::lround(seconds * 1000.0));
    m_position = 0.0;
}

void TMediaPlayer::Close()
{
    if (!m_music)
        return;
    if (isPlaying())
        haltStream();
    if (!MixerDispatch::instance()->audioClosed)
        sound().Mix_FreeMusic(m_music);
    m_music = nullptr;
    m_openName.clear();
    m_length = 0;
    m_position = 0.0;
}

int TMediaPlayer::Length() const
{
    return m_length;
}

bool TMediaPlayer::isPlaying() const
{
    return m_serial != 0 && MixerDispatch::instance()->playing.load() == m_serial;
}

void TMediaPlayer::Play()
{
    if (!m_music)
        throw EMCIDeviceError(QStringLiteral("Cannot play \"%1\": the file is not open").arg(FileName));
    MixerDispatch *d = MixerDispatch::instance();
    haltStream();
    const quint64 serial = ++d->lastSerial;
    m_serial = serial;
    d->owners[serial] = this;
    d->playing.store(serial);
    if (sound().Mix_PlayMusic(m_music, 0) != 0) {
        d->playing.store(0);
        d->owners.erase(serial);
        m_serial = 0;
        throw EMCIDeviceError(QStringLiteral("Cannot play \"%1\": %2").arg(m_openName, QString::fromUtf8(sound().SDL_GetError())));
    }
    if (m_position > 0.0)
        sound().Mix_SetMusicPosition(m_position);
}

void TMediaPlayer::Stop()
{
    if (!isPlaying())
        return;
    const double pos = sound().Mix_GetMusicPosition(m_music);
    haltStream();
    m_position = pos > 0.0 ? pos : 0.0;
}

void TMediaPlayer::Rewind()
{
    if (isPlaying())
        haltStream();
    m_position = 0.0;
}

void TMediaPlayer::finished(quint64 serial, TMPNotifyValues value)
{
    if (serial == m_serial) {
        m_serial = 0;
        if (value == nvSuccessful)
            m_position = 0.0;
    }
    emit Notify(value);
}
