// The soundtrack in the browser, through Web Audio: the page fetches and decodes the soundtrack
// (encoded for the web at build time) while it loads; sound may only start after a key press,
// which is when the show asks for it. Where the sound heard is comes from the audio output's
// own timestamp, so the player can keep it in step with the picture as on the desktop.
#include "basicsource/platform.h"

#include <emscripten.h>

#include <string>

// The JavaScript half keeps one decoded buffer and at most one source playing it. `at` is the
// position in the soundtrack when playing started (or where it is held while paused), `since`
// the audio context's time it started.
EM_JS(void, soundLoad, (const char* url), {
    var sound = Module.sound = {buffer: null, source: null, playing: false, at: 0, since: 0};
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    sound.context = new Context({latencyHint: 'interactive'});
    fetch(UTF8ToString(url))
        .then(function(response) {
            if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
            return response.arrayBuffer();
        })
        .then(function(bytes) { return sound.context.decodeAudioData(bytes); })
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

// The soundtrack's name with the web's encoding: Sonavel.wav is served as Sonavel.ogg.
std::string webSoundtrack() {
    std::string name = kSoundtrackName;
    return name.substr(0, name.rfind('.')) + ".ogg";
}

class webAudioBackend : public audioBackend {
  public:
    webAudioBackend() { soundLoad(webSoundtrack().c_str()); }
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
