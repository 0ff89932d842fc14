// The soundtrack in the browser, through Web Audio: the page fetches and decodes the soundtrack
// (encoded for the web at build time: Ogg Opus, or MP3 for a browser that cannot decode Opus)
// once the show is set up, unless it is muted; the page offers to start once it can play from
// its first note. Sound may only start after a key press or a tap, which is when the show asks
// for it. Where the sound heard is comes from the audio output's own timestamp, so the player
// can keep it in step with the picture as on the desktop.
#include "basicsource/platform.h"
#include "web/page_status.h"

#include <emscripten.h>

#include <string>

// The JavaScript half keeps one decoded buffer and at most one source playing it. `at` is the
// position in the soundtrack when playing started (or where it is held while paused), `since`
// the audio context's time it started. `state` is what the page shows: "loading" (with `loaded`
// of `total` bytes), "decoding", "ready", or "failed" with `error`; "none" where the browser has
// no Web Audio. `firstStart` records where and when the soundtrack first began to play.
EM_JS(void, soundSetUp, (), {
    var sound = Module.sound = {buffer: null, source: null, playing: false, at: 0, since: 0,
                                state: 'none', loaded: 0, total: 0, error: "", firstStart: null};
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
        sound.error = 'this browser cannot play sound (it has no Web Audio)';
        return;
    }
    sound.context = new Context({latencyHint: 'interactive'});
    sound.start = function() {
        if (!sound.buffer || sound.at >= sound.buffer.duration) return;
        sound.source = sound.context.createBufferSource();
        sound.source.buffer = sound.buffer;
        sound.source.connect(sound.context.destination);
        sound.since = sound.context.currentTime;
        sound.source.start(0, Math.max(0, sound.at));
        if (!sound.firstStart) {
            sound.firstStart = {at: Math.max(0, sound.at), wall: performance.now(),
                                latency: sound.context.outputLatency || sound.context.baseLatency || 0};
        }
    };
    sound.halt = function() {
        if (sound.source) {
            sound.source.stop();
            sound.source.disconnect();
            sound.source = null;
        }
    };
    // Browsers start sound only from inside a gesture of the user, and some (phones) only from a
    // touch: the first key, click or tap resumes the context and plays a moment of silence
    // from inside its own handler, so the show's sound can start whenever the show asks.
    var unlockEvents = ['touchstart', 'touchend', 'mousedown', 'keydown'];
    function unlock() {
        var c = sound.context;
        var silence = c.createBufferSource();
        silence.buffer = c.createBuffer(1, 1, 22050);
        silence.connect(c.destination);
        silence.start(0);
        c.resume().then(function() {
            unlockEvents.forEach(function(type) { window.removeEventListener(type, unlock, true); });
        });
    }
    unlockEvents.forEach(function(type) { window.addEventListener(type, unlock, true); });
    // The soundtrack's position being heard now; negative when nothing plays.
    sound.heard = function() {
        if (!sound.playing || !sound.source) return -1;
        var c = sound.context, now = c.currentTime;
        if (c.getOutputTimestamp) {
            var stamp = c.getOutputTimestamp();
            if (stamp.contextTime > 0)
                now = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
        }
        return sound.at + Math.max(0, now - sound.since);
    };
});

// Fetches and decodes the soundtrack, counting the bytes as they come for the page's progress;
// the show is told once it can play from its first note (lumenfold_music_ready).
EM_JS(void, soundFetch, (const char* opusUrl, const char* mp3Url), {
    var sound = Module.sound;
    if (!sound.context) {
        sound.state = 'failed';
        return;
    }
    var opus = UTF8ToString(opusUrl), mp3 = UTF8ToString(mp3Url);
    function bytesOf(response) {
        sound.total = Number(response.headers.get('Content-Length')) || 0;
        if (!response.body || !response.body.getReader) return response.arrayBuffer();
        var reader = response.body.getReader(), chunks = [];
        function next() {
            return reader.read().then(function(part) {
                if (part.done) return;
                chunks.push(part.value);
                sound.loaded += part.value.length;
                return next();
            });
        }
        return next().then(function() {
            var bytes = new Uint8Array(sound.loaded), offset = 0;
            chunks.forEach(function(chunk) { bytes.set(chunk, offset); offset += chunk.length; });
            return bytes.buffer;
        });
    }
    function load(url) {
        sound.url = url;
        sound.state = 'loading';
        sound.loaded = 0;
        sound.total = 0;
        return fetch(url)
            .catch(function() { throw new Error(url + ': the network did not answer'); })
            .then(function(response) {
                if (!response.ok) throw new Error(url + ': ' + response.status + ' ' + response.statusText);
                return bytesOf(response);
            })
            .then(function(bytes) {
                sound.state = 'decoding';
                // The callback form: older Safari has no promise from decodeAudioData.
                return new Promise(function(resolve, reject) {
                    sound.context.decodeAudioData(bytes, resolve, function() {
                        reject(new Error(url + ' cannot be decoded here'));
                    });
                });
            });
    }
    // A browser that says it cannot play Ogg Opus fetches only the MP3; one that says it can but
    // then fails to fetch or decode it falls back to the MP3.
    var probe = document.createElement('audio');
    var canOpus = probe.canPlayType && probe.canPlayType("audio/ogg; codecs=opus") !== "";
    var reasons = [];
    (canOpus ? load(opus).catch(function(error) {
        reasons.push(error.message);
        console.log(error.message + '; trying ' + mp3);
        return load(mp3);
    }) : load(mp3))
        .then(function(buffer) {
            sound.buffer = buffer;
            sound.state = 'ready';
            // Asked to play before the soundtrack arrived (the page waits for it, but a change
            // of speed back to 1x does not): it starts now, where the show is.
            if (sound.playing) {
                sound.at += sound.context.currentTime - sound.since;
                sound.start();
            }
            Module._lumenfold_music_ready();
        })
        .catch(function(error) {
            reasons.push(error.message);
            sound.state = 'failed';
            sound.error = reasons.join('; ');
            console.log('The soundtrack could not be loaded: ' + sound.error);
            Module._lumenfold_music_ready();
        });
});

// 0 while the soundtrack loads, 1 once it can play from its start, 2 when it cannot be played.
EM_JS(int, soundReadiness, (), {
    var state = Module.sound ? Module.sound.state : 'none';
    return state === 'ready' ? 1 : state === 'failed' || state === 'none' ? 2 : 0;
});

// Asks the browser to let sound start without a gesture of the user; once it does (the context
// running), the show is told (lumenfold_play_unasked). A browser that will not leaves the
// request unanswered, and the page offers to play instead.
EM_JS(void, soundAskToStartUnasked, (), {
    var c = Module.sound && Module.sound.context;
    if (!c) return;
    c.resume().then(function() {
        if (c.state === 'running') Module._lumenfold_play_unasked();
    }, function() {});
});

EM_JS(void, soundPlayFrom, (double seconds, bool paused), {
    var sound = Module.sound;
    if (!sound || !sound.context) return;
    sound.halt();
    sound.at = seconds;
    sound.playing = !paused;
    sound.since = sound.context.currentTime;
    if (!paused) {
        sound.context.resume(); // allowed now: the show's sound starts from a key press
        sound.start();
    }
});

EM_JS(void, soundPause, (), {
    var sound = Module.sound;
    if (!sound || !sound.context || !sound.playing) return;
    sound.at += sound.context.currentTime - sound.since;
    sound.playing = false;
    sound.halt();
});

EM_JS(void, soundResume, (), {
    var sound = Module.sound;
    if (!sound || !sound.context || sound.playing) return;
    sound.playing = true;
    sound.since = sound.context.currentTime;
    sound.context.resume();
    sound.start();
});

EM_JS(void, soundStop, (), {
    var sound = Module.sound;
    if (!sound || !sound.context) return;
    sound.halt();
    sound.playing = false;
    sound.at = 0;
});

EM_JS(void, soundSeek, (double seconds), {
    var sound = Module.sound;
    if (!sound || !sound.context) return;
    if (sound.playing) {
        sound.halt();
        sound.at = seconds;
        sound.start();
    } else {
        sound.at = seconds;
    }
});

EM_JS(double, soundHeard, (), {
    return Module.sound && Module.sound.heard ? Module.sound.heard() : -1;
});

namespace {

// The soundtrack's name with one of the web's encodings: Sonavel.wav is served as Sonavel.ogg
// and Sonavel.mp3.
std::string webSoundtrack(const char* extension) {
    std::string name = kSoundtrackName;
    return name.substr(0, name.rfind('.')) + extension;
}

class webAudioBackend : public audioBackend {
  public:
    webAudioBackend() { soundSetUp(); }
    // Whatever the file asked for, the page's one soundtrack plays.
    void play(const char*) override { soundPlayFrom(0, false); }
    void playFrom(const char*, double seconds, bool paused) override {
        soundPlayFrom(seconds, paused);
    }
    void pause() override { soundPause(); }
    void resume() override { soundResume(); }
    void stop() override { soundStop(); }
    void seek(double seconds) override { soundSeek(seconds); }
    void shutdown() override { soundStop(); }
    double playedSeconds() const override { return soundHeard(); }
};

} // namespace

audioBackend& systemAudioBackend() {
    static webAudioBackend backend;
    return backend;
}

void fetchSoundtrack() {
    systemAudioBackend();
    soundFetch(webSoundtrack(".ogg").c_str(), webSoundtrack(".mp3").c_str());
}

soundtrackState soundtrackReadiness() { return soundtrackState(soundReadiness()); }

void askToPlayUnasked() { soundAskToStartUnasked(); }
