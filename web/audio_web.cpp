// The soundtrack in the browser, through Web Audio: the page fetches and decodes the soundtrack
// (encoded for the web at build time: Ogg Opus, or MP3 for a browser that cannot decode Opus)
// while it loads; sound may only start after a key press or a tap, which is when the show asks
// for it. Where the sound heard is comes from the audio output's own timestamp, so the player
// can keep it in step with the picture as on the desktop.
#include "basicsource/platform.h"

#include <emscripten.h>

#include <string>

// The JavaScript half keeps one decoded buffer and at most one source playing it. `at` is the
// position in the soundtrack when playing started (or where it is held while paused), `since`
// the audio context's time it started.
EM_JS(void, soundLoad, (const char* opusUrl, const char* mp3Url), {
    var sound = Module.sound = {buffer: null, source: null, playing: false, at: 0, since: 0};
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    sound.context = new Context({latencyHint: 'interactive'});
    var opus = UTF8ToString(opusUrl), mp3 = UTF8ToString(mp3Url);
    function load(url) {
        sound.url = url;
        return fetch(url)
            .then(function(response) {
                if (!response.ok) throw new Error(url + ': ' + response.status + ' ' + response.statusText);
                return response.arrayBuffer();
            })
            .then(function(bytes) {
                // The callback form: older Safari has no promise from decodeAudioData.
                return new Promise(function(resolve, reject) {
                    sound.context.decodeAudioData(bytes, resolve, function(error) {
                        reject(new Error(url + ' cannot be decoded here: ' + error));
                    });
                });
            });
    }
    // A browser that says it cannot play Ogg Opus fetches only the MP3; one that says it can but
    // then fails to decode it falls back to the MP3.
    var probe = document.createElement('audio');
    var canOpus = probe.canPlayType && probe.canPlayType("audio/ogg; codecs=opus") !== "";
    (canOpus ? load(opus).catch(function(error) {
        console.log(error.message + '; trying ' + mp3);
        return load(mp3);
    }) : load(mp3))
        .then(function(buffer) {
            sound.buffer = buffer;
            // Asked to play before the soundtrack arrived: it starts now, where the show is.
            if (sound.playing) {
                sound.at += sound.context.currentTime - sound.since;
                sound.start();
            }
        })
        .catch(function(error) { console.log('The soundtrack could not be loaded: ' + error); });
    sound.start = function() {
        if (!sound.buffer || sound.at >= sound.buffer.duration) return;
        sound.source = sound.context.createBufferSource();
        sound.source.buffer = sound.buffer;
        sound.source.connect(sound.context.destination);
        sound.since = sound.context.currentTime;
        sound.source.start(0, Math.max(0, sound.at));
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
    webAudioBackend() { soundLoad(webSoundtrack(".ogg").c_str(), webSoundtrack(".mp3").c_str()); }
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
