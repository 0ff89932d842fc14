// The page around the show: it loads the show (lumenfold.wasm and lumenfold.data fetched with
// their progress shown, then lumenfold.js), says every failure in a visitor's words, places the
// picture and the controls, and draws the controls from what the show reports. What the
// controls show (the length, the scene marks, the time as it reads, the speeds) and what a
// press, a drag or a tap means come from the C++ through its exported calls
// (web/page_calls.cpp); this script holds no second copy of them.
'use strict';
(function() {
  var kProgram = 'lumenfold'; // the build's output: lumenfold.js, .wasm and .data
  var kOneRowWidth = 520;     // narrower stages put the timeline on a row of its own
  var kRowHeight = 44;        // every control is at least 44 CSS pixels each way
  var kPlayPath = 'M7 4.5v15l12.5-7.5z';
  var kPausePath = 'M6 4.5h4.5v15H6zm7.5 0H18v15h-4.5z';

  var $ = function(id) { return document.getElementById(id); };
  var stage = $('stage'), canvas = $('canvas'), panel = $('panel'), line = $('line');
  var controls = $('controls'), timeline = $('timeline'), help = $('help');
  var kMostPixels = Number(canvas.dataset.mostPixels);

  var failed = false;    // the show cannot run: the panel says why, nothing else acts
  var ready = false;     // the show is set up and draws
  var facts = null;      // lumenfold_facts(), once
  var last = {};         // what the controls show now
  var fullScreenWanted = false;
  var picture = {left: 0, top: 0, width: 0, height: 0, density: 1};
  var loading = {wasm: {loaded: 0, total: 0}, data: {loaded: 0, total: 0}};
  var restoredNote = takeRestoredNote();

  // ---- Words on the panel -------------------------------------------------------------------

  function show(element, shown) { element.hidden = !shown; }

  function say(text, kind) {
    line.textContent = text;
    line.className = kind || '';
    show(line, !!text);
  }

  // The show cannot run: one line saying why and what to do, and nothing else on the stage.
  function fail(text, offerRestart) {
    if (failed) return;
    failed = true;
    show(panel, true);
    panel.className = '';
    say(text, 'error');
    show($('progress'), false);
    show($('start'), false);
    show($('silent'), false);
    show($('restart'), !!offerRestart);
    show($('choices'), !!offerRestart);
    show(controls, false);
    canvas.classList.remove('shown');
  }

  function percent(part) {
    return part.total > 0 ? Math.min(100, Math.floor(100 * part.loaded / part.total)) + ' %' : '…';
  }

  function notice(text) {
    $('notice').textContent = text;
    show($('notice'), !!text);
  }

  // ---- Loading ------------------------------------------------------------------------------

  // A context of a throw-away canvas: a browser may have WebGL 2 and still refuse to make one
  // (turned off, a blocked graphics driver).
  function webgl2Works() {
    if (!window.WebGL2RenderingContext) return false;
    var gl = null;
    try {
      gl = document.createElement('canvas').getContext('webgl2');
    } catch (e) {
      return false;
    }
    if (!gl) return false;
    var lose = gl.getExtension('WEBGL_lose_context');
    if (lose) lose.loseContext();
    return true;
  }

  // The file's bytes, counted into `part` as they arrive.
  function fetchCounted(url, part, abort) {
    return fetch(url, abort ? {signal: abort.signal} : {}).catch(function() {
      throw new Error('the network did not answer');
    }).then(function(response) {
      if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
      part.total = Number(response.headers.get('Content-Length')) || 0;
      if (!response.body || !response.body.getReader) return response.arrayBuffer();
      var reader = response.body.getReader(), chunks = [];
      function next() {
        return reader.read().then(function(piece) {
          if (piece.done) return;
          chunks.push(piece.value);
          part.loaded += piece.value.length;
          showProgress();
          return next();
        });
      }
      return next().then(function() {
        var bytes = new Uint8Array(part.loaded), at = 0;
        chunks.forEach(function(chunk) { bytes.set(chunk, at); at += chunk.length; });
        return bytes.buffer;
      });
    });
  }

  function couldNotLoad(what, file, error) {
    return 'The show\'s ' + what + ' (' + file + ') could not be loaded: ' + error.message +
           '. Reload the page to try again.';
  }

  function showProgress() {
    if (failed) return;
    var text = 'The picture: ' + percent({
      loaded: loading.wasm.loaded + loading.data.loaded,
      total: loading.wasm.total && loading.data.total ? loading.wasm.total + loading.data.total : 0});
    var sound = window.Module && Module.sound;
    if (ready && last.status && last.status.sound) {
      if (!sound || sound.state === 'loading' || sound.state === 'none') {
        text = 'The music: ' + (sound ? percent(sound) : '…');
      } else if (sound.state === 'decoding') {
        text = 'The music: preparing';
      } else {
        text = '';
      }
    } else if (ready) {
      text = '';
    }
    $('progress').textContent = text;
    show($('progress'), !!text);
  }

  function load() {
    say('Loading the show…');
    // The files come while the browser is asked for WebGL 2 (which takes a while to answer in
    // software), and are given up if it has none.
    var abort = window.AbortController ? new AbortController() : null;
    var wasm = fetchCounted(kProgram + '.wasm', loading.wasm, abort);
    var data = fetchCounted(kProgram + '.data', loading.data, abort);
    if (!webgl2Works()) {
      if (abort) abort.abort();
      [wasm, data].forEach(function(given) { given.catch(function() {}); });
      fail('This browser cannot draw the show: it needs WebGL 2, which is turned off or not ' +
           'available here. Turning on hardware acceleration in the browser\'s settings, or ' +
           'another browser, may help.');
      return;
    }
    wasm.catch(function(error) { fail(couldNotLoad('program', kProgram + '.wasm', error)); });
    var dataBytes = null;
    window.Module = {
      canvas: canvas,
      arguments: commandLine(location.search),
      print: function(text) { console.log(text); },
      printErr: function(text) { console.log(text); },
      preRun: [],
      // The program and the data were fetched here, with their progress and their failures in
      // the page's words.
      instantiateWasm: function(imports, receive) {
        wasm.then(function(bytes) {
          return WebAssembly.instantiate(bytes, imports).catch(function(error) {
            console.log(kProgram + '.wasm: ' + error.message);
            fail('The show\'s program (' + kProgram + '.wasm) arrived damaged and cannot run. ' +
                 'Reload the page to try again.');
            throw error;
          });
        }).then(function(result) { receive(result.instance, result.module); },
                function() {});
        return {};
      },
      getPreloadedPackage: function(name, size) {
        if (dataBytes.byteLength !== size) {
          fail('The show\'s data (' + kProgram + '.data) arrived damaged (' +
               dataBytes.byteLength.toLocaleString('en') + ' bytes of ' +
               size.toLocaleString('en') + '). Reload the page to try again.');
          Module.preRun.push(function() {
            Module.addRunDependency('the data arrived damaged'); // the show never starts
          });
        }
        return dataBytes;
      },
      onRuntimeInitialized: function() {
        // main() runs right after this: then the show is set up, or the address stopped it.
        setTimeout(afterMain, 0);
      },
      onAbort: function(what) {
        var reason = String(what || '').replace(/ *Build with -s ASSERTIONS=1 for more info\.?/, '');
        fail('The show stopped because of an error in its program' +
             (reason ? ' (' + reason + ')' : '') + '. Reload the page to try again.');
      },
      setFullScreen: setFullScreen,
    };
    data.then(function(bytes) {
      if (failed) return;
      dataBytes = bytes;
      var script = document.createElement('script');
      script.src = kProgram + '.js';
      script.onerror = function() {
        fail('The show\'s program (' + kProgram + '.js) could not be loaded. Reload the page to ' +
             'try again.');
      };
      document.body.appendChild(script);
    }, function(error) {
      fail(couldNotLoad('data', kProgram + '.data', error));
    });
  }

  // ?start=84&paused&speed=0.5 -> --start=84 --paused --speed=0.5: the show's own parser judges
  // them, and says what it refuses in the page's words. The tags a shared link picks up on its
  // way (a newsletter's utm_source, a social network's fbclid) are not the visitor's asking and
  // are passed over, or every such link would be refused.
  var kLinkTags = /^(utm_.*|fbclid|gclid|dclid|gbraid|wbraid|msclkid|yclid|twclid|ttclid|igshid|mc_cid|mc_eid|_ga|_gl)$/;
  function commandLine(search) {
    var args = [];
    new URLSearchParams(search).forEach(function(value, name) {
      if (!kLinkTags.test(name)) args.push('--' + name + (value === '' ? '' : '=' + value));
    });
    return args;
  }

  function status() {
    return JSON.parse(UTF8ToString(Module._lumenfold_status()));
  }

  function afterMain() {
    if (failed) return;
    var s = status();
    if (s.state === 'refused' || s.state === 'exited') {
      var refused = s.state === 'refused';
      fail(s.message.replace(/\n$/, ''), true);
      line.className = refused ? 'error' : '';
      panel.className = refused ? '' : 'text';
      $('restart').textContent = refused ? 'Watch from the start' : 'Watch the show';
      $('restart').href = location.pathname;
      return;
    }
    facts = JSON.parse(UTF8ToString(Module._lumenfold_facts()));
    $('about').textContent = 'A ' + facts.length + '-second 3D show with music, drawn live ' +
                             'in your browser.';
    timeline.setAttribute('aria-valuemax', String(facts.length));
    facts.scenes.forEach(function(start) {
      var mark = document.createElement('div');
      mark.className = 'mark';
      mark.style.left = (100 * start / facts.length) + '%';
      $('track').insertBefore(mark, $('knob'));
    });
    ready = true;
    show(controls, true);
    canvas.classList.add('shown');
    layout();
    canvas.focus({preventScroll: true});
    if (restoredNote) notice('Paused here after the browser gave the picture back: press play.');
    refresh();
  }

  // ---- Where things go ----------------------------------------------------------------------

  // The picture: the largest box of the show's proportions in the stage, drawn at the screen's
  // density up to kMostPixels (software WebGL draws every pixel on the CPU; never below one
  // pixel per CSS pixel). The bar: under the picture where the bars leave room for it, else over
  // the picture's bottom, above the credits line where it would cover it (the credits are the
  // show's). The panel: in the middle of the picture.
  function layout() {
    var width = stage.clientWidth, height = stage.clientHeight;
    var aspect = facts ? facts.aspect : 1.25;
    var w = Math.floor(Math.min(width, height * aspect)), h = Math.floor(w / aspect);
    if (w < 1 || h < 1) return;
    picture.left = Math.floor((width - w) / 2);
    picture.top = Math.floor((height - h) / 2);
    picture.width = w;
    picture.height = h;
    picture.density = Math.max(1, Math.min(window.devicePixelRatio || 1,
                                           Math.sqrt(kMostPixels / (w * h))));
    var style = canvas.style;
    style.left = picture.left + 'px';
    style.top = picture.top + 'px';
    style.setProperty('width', w + 'px', 'important');
    style.setProperty('height', h + 'px', 'important');
    panel.style.top = (picture.top + h / 2) + 'px';
    if (!ready || failed) return;
    Module.setCanvasSize(Math.round(w * picture.density), Math.round(h * picture.density));
    // The browser's GLUT sets the canvas's box in its own style when it sets its pixels.
    style.setProperty('width', w + 'px', 'important');
    style.setProperty('height', h + 'px', 'important');

    var narrow = width < kOneRowWidth;
    var barHeight = (narrow ? 2 : 1) * kRowHeight;
    var below = height - (picture.top + h);
    controls.classList.toggle('narrow', narrow);
    controls.style.width = width + 'px';
    var top;
    if (below >= barHeight) {
      top = picture.top + h;
      controls.classList.add('below');
    } else {
      controls.classList.remove('below');
      var scale = canvas.width / w; // window pixels per CSS pixel
      var creditsBottom = facts.creditsLine.bottom / scale, creditsTop = facts.creditsLine.top / scale;
      top = height - barHeight;
      if (barHeight > below + creditsBottom) top = picture.top + h - creditsTop - 2 - barHeight;
    }
    controls.style.top = Math.round(top) + 'px';
    controls.style.height = barHeight + 'px';
  }

  // ---- Full screen --------------------------------------------------------------------------

  // The whole stage goes full screen (picture and controls). Browsers allow it only from a tap,
  // a click or a key: asked for otherwise (?fullscreen), it comes with the next one. A phone
  // is asked to turn the picture sideways, which the show's proportions prefer.
  function setFullScreen(on) {
    if (on === !!document.fullscreenElement) return;
    if (!on) {
      document.exitFullscreen().catch(function() {});
      return;
    }
    var request = stage.requestFullscreen || stage.webkitRequestFullscreen;
    if (!request) {
      notice('This browser cannot show the page full screen.');
      return;
    }
    var later = function() {
      fullScreenWanted = true;
      notice('Full screen comes on with your first tap, click or key.');
    };
    if (navigator.userActivation && !navigator.userActivation.isActive) {
      later();
      return;
    }
    fullScreenWanted = false;
    var asked = request.call(stage, {navigationUI: 'hide'});
    if (asked && asked.then) {
      asked.then(function() {
        if (screen.orientation && screen.orientation.lock) {
          screen.orientation.lock('landscape').catch(function() {});
        }
      }, later);
    }
  }

  function wantedFullScreen() {
    if (fullScreenWanted && !failed) {
      notice('');
      setFullScreen(true);
    }
  }

  // ---- The controls -------------------------------------------------------------------------

  // A control acts on its click, which a key (Enter, Space) makes too; a click from a pointer
  // counts only when the press began on the same control, so a tap that showed the bar does not
  // also press whatever appeared under the finger.
  var pressedControl = null;
  stage.addEventListener('pointerdown', function(event) {
    pressedControl = event.target.closest ? event.target.closest('button, a') : null;
  }, true);
  function onPress(button, action) {
    button.addEventListener('click', function(event) {
      if (event.detail !== 0 && pressedControl !== button) return;
      pressedControl = null;
      if (ready && !failed) Module._lumenfold_control_used();
      action(event);
      refresh();
    });
  }

  function playPause() {
    wantedFullScreen();
    Module._lumenfold_play_pause();
    notice('');
  }

  onPress($('play'), playPause);
  onPress($('start'), function() {
    wantedFullScreen();
    notice('');
    if (last.status && last.status.mode === 3) Module._lumenfold_play_pause();
    else Module._lumenfold_start();
  });
  onPress($('silent'), function() {
    wantedFullScreen();
    Module._lumenfold_play_without_music();
  });
  onPress($('speed'), function() { Module._lumenfold_next_speed(); });
  onPress($('full'), function() { setFullScreen(!document.fullscreenElement); });
  onPress($('help-button'), function() { toggleHelp(); });
  onPress($('help-close'), function() { toggleHelp(false); });

  function toggleHelp(open) {
    if (open === undefined) open = help.hidden;
    if (open && !$('show-keys').hasChildNodes()) fillHelp();
    show(help, open);
    if (open) $('help-close').focus({preventScroll: true});
    else canvas.focus({preventScroll: true});
  }

  // The show's own list of keys (lumenfold_keys), as a table under its headings.
  function fillHelp() {
    var table = null;
    UTF8ToString(Module._lumenfold_keys()).split('\n').forEach(function(text) {
      if (!text) return;
      var parts = text.split(/ {2,}/);
      if (parts.length < 2) {
        var heading = document.createElement('h3');
        heading.textContent = text;
        $('show-keys').appendChild(heading);
        table = document.createElement('table');
        $('show-keys').appendChild(table);
        return;
      }
      var row = table.insertRow();
      row.insertCell().textContent = parts[0];
      row.insertCell().textContent = parts.slice(1).join(' ');
    });
  }

  // While the mouse is over the bar, a finger or the mouse holds the timeline, or the keyboard's
  // focus is in it, the bar stays.
  var holding = {hover: false, focus: false, scrub: false};
  function hold(what, on) {
    if (holding[what] === on) return;
    holding[what] = on;
    if (ready && !failed) Module._lumenfold_controls_held(holding.hover || holding.focus || holding.scrub ? 1 : 0);
  }
  controls.addEventListener('pointerenter', function(event) {
    if (event.pointerType === 'mouse') hold('hover', true);
  });
  controls.addEventListener('pointerleave', function(event) {
    if (event.pointerType === 'mouse') hold('hover', false);
  });
  controls.addEventListener('focusin', function(event) {
    hold('focus', event.target.matches(':focus-visible'));
  });
  controls.addEventListener('focusout', function() { hold('focus', false); });

  // The timeline: a press lands where the show's own rule says (a scene start near its mark,
  // else a frame of its grid); a drag poses each moment under the finger; the show plays on
  // from the release.
  var scrubbing = null;
  function alongTrack(event) {
    var track = $('track').getBoundingClientRect();
    return {x: event.clientX - track.left, width: track.width};
  }
  timeline.addEventListener('pointerdown', function(event) {
    if (!ready || failed || (event.pointerType === 'mouse' && event.button !== 0)) return;
    event.preventDefault();
    timeline.setPointerCapture(event.pointerId);
    scrubbing = event.pointerId;
    hold('scrub', true);
    var at = alongTrack(event);
    Module._lumenfold_scrub(0, at.x, at.width);
    refresh();
  });
  timeline.addEventListener('pointermove', function(event) {
    if (scrubbing !== event.pointerId) return;
    var at = alongTrack(event);
    Module._lumenfold_scrub(1, at.x, at.width);
  });
  function endScrub(event) {
    if (scrubbing !== event.pointerId) return;
    scrubbing = null;
    var at = alongTrack(event);
    Module._lumenfold_scrub(2, at.x, at.width);
    hold('scrub', false);
    refresh();
  }
  timeline.addEventListener('pointerup', endScrub);
  timeline.addEventListener('pointercancel', endScrub);

  // The wheel over the timeline steps the show's wheel step a notch; small steps (a touchpad's)
  // add up to a notch first. The listener cancels the page's scrolling there, and only there.
  var wheeled = 0;
  timeline.addEventListener('wheel', function(event) {
    if (!ready || failed) return;
    event.preventDefault();
    var notch = event.deltaMode === 1 ? 3 : event.deltaMode === 2 ? 1 : 100;
    var turn = -event.deltaY / notch; // up is forward
    if (turn * wheeled < 0) wheeled = 0; // turned the other way: start afresh
    wheeled += turn;
    while (Math.abs(wheeled) >= 1) {
      var direction = wheeled > 0 ? 1 : -1;
      Module._lumenfold_step(direction * facts.wheelStep);
      wheeled -= direction;
    }
    refresh();
  }, {passive: false});

  // ---- The stage: taps and clicks outside the controls --------------------------------------

  var gesture = null;
  function onStage(target) {
    return target === canvas || target === stage;
  }
  stage.addEventListener('pointerdown', function(event) {
    if (!ready || failed || !onStage(event.target) ||
        (event.pointerType === 'mouse' && event.button !== 0)) {
      gesture = null;
      return;
    }
    gesture = {id: event.pointerId, touch: event.pointerType !== 'mouse',
               x: event.clientX, y: event.clientY, onPicture: event.target === canvas,
               moved: false};
    Module._lumenfold_stage_press();
  });
  stage.addEventListener('pointermove', function(event) {
    if (!ready || failed) return;
    if (event.pointerType === 'mouse') Module._lumenfold_stage_moved();
    if (gesture && gesture.id === event.pointerId &&
        Math.hypot(event.clientX - gesture.x, event.clientY - gesture.y) > 10) {
      gesture.moved = true; // a swipe, not a tap
    }
  });
  stage.addEventListener('pointerup', function(event) {
    if (!gesture || gesture.id !== event.pointerId) return;
    var tap = gesture;
    gesture = null;
    if (tap.moved) return;
    wantedFullScreen();
    Module._lumenfold_stage_tap(tap.touch ? 1 : 0, tap.onPicture ? 1 : 0, event.clientX,
                                event.clientY);
    canvas.focus({preventScroll: true});
    refresh();
  });
  stage.addEventListener('pointercancel', function() { gesture = null; });

  // ---- Keys ---------------------------------------------------------------------------------

  // Taken before the show's own keys (this listener is the window's first): Space, Enter and k
  // play and pause, f is full screen, h and ? the help, a starts once the music can, Escape
  // leaves full screen or the help and never ends the show. On the controls, Space and Enter
  // press them, and the arrows, Home and End move the timeline. The rest go to the show; keys
  // with Ctrl, Alt or Meta, and Tab, stay the browser's.
  window.addEventListener('keydown', function(event) {
    if (!ready || failed || event.ctrlKey || event.altKey || event.metaKey) return;
    wantedFullScreen();
    var onControl = event.target !== canvas && event.target !== document.body &&
                    event.target.closest && event.target.closest('#controls, #panel, #help');
    var taken = true;
    switch (event.key) {
    case 'Escape':
      if (!help.hidden) toggleHelp(false);
      else if (document.fullscreenElement) setFullScreen(false);
      break;
    case ' ':
    case 'Enter':
      if (onControl && event.target !== timeline) {
        event.stopImmediatePropagation(); // the browser presses the control
        return;
      }
      playPause();
      break;
    case 'k':
      playPause();
      break;
    case 'f':
      setFullScreen(!document.fullscreenElement);
      break;
    case 'h':
    case '?':
      toggleHelp();
      break;
    case 'a':
      notice('');
      Module._lumenfold_start();
      break;
    default:
      taken = event.target === timeline && timelineKey(event.key);
    }
    if (taken) {
      event.preventDefault();
      event.stopImmediatePropagation();
      if (onControl) Module._lumenfold_control_used();
      refresh();
    }
  }, true);

  function timelineKey(key) {
    switch (key) {
    case 'ArrowLeft':
    case 'ArrowDown':
      Module._lumenfold_step(-facts.wheelStep);
      return true;
    case 'ArrowRight':
    case 'ArrowUp':
      Module._lumenfold_step(facts.wheelStep);
      return true;
    case 'Home':
      Module._lumenfold_jump(0);
      return true;
    case 'End':
      Module._lumenfold_jump(facts.length);
      return true;
    }
    return false;
  }

  // ---- Drawing the controls from the show's state -------------------------------------------

  function setText(element, text) {
    if (element.textContent !== text) element.textContent = text;
  }

  function refresh() {
    if (!ready || failed) return;
    var s = status(), sound = Module.sound;
    last.status = s;
    if (s.mode === 1 && $('notice').textContent.indexOf('press play') >= 0) notice('');
    var playing = s.mode === 1;
    var shown = s.controls || !help.hidden;
    controls.classList.toggle('hidden', !shown);
    stage.classList.toggle('idle', !shown && !!document.fullscreenElement);
    var waiting = s.waiting === 1;
    $('play-icon').setAttribute('d', playing || waiting ? kPausePath : kPlayPath);
    $('play').setAttribute('aria-label', playing || waiting ? 'Pause' : 'Play');
    setText($('clock'), s.clock);
    setText($('speed'), s.speedText);
    var fraction = Math.max(0, Math.min(1, (s.mode === 0 ? 0 : s.time) / facts.length));
    if (last.fraction !== fraction) {
      last.fraction = fraction;
      $('done').style.transform = 'scaleX(' + fraction + ')';
      $('knob').style.left = (100 * fraction) + '%';
      timeline.setAttribute('aria-valuenow', String(Math.round(fraction * facts.length)));
    }
    if (timeline.getAttribute('aria-valuetext') !== s.spoken) timeline.setAttribute('aria-valuetext', s.spoken);

    // The panel: the start (once the music can play from its first note), the wait for it,
    // the music's failure, the end.
    var musicFailed = s.sound && sound && (sound.state === 'failed' || sound.state === 'none');
    var musicReady = !s.sound || (sound && sound.state === 'ready');
    var atStart = s.mode === 0, atEnd = s.mode === 4, heldAtLaunch = s.mode === 3 && s.asked === 1;
    var offer = (atStart || atEnd || heldAtLaunch) && !waiting;
    show(panel, offer || waiting || musicFailed);
    show($('about'), atStart);
    if (musicFailed) {
      say('The music could not be loaded' + (sound && sound.error ? ' (' + sound.error + ')' : '') +
          '.', 'error');
    } else if (waiting) {
      say('The show starts as soon as the music has arrived.');
    } else {
      say('');
    }
    show($('start'), offer && musicReady);
    setText($('start-label'), atEnd ? 'Watch again' : heldAtLaunch ?
                                     'Play from ' + s.clock.split(' / ')[0] : 'Play');
    show($('silent'), musicFailed);
    show($('restart'), false);
    show($('choices'), musicFailed);
    showProgress();
    followAddress(s);
  }

  function loop() {
    refresh();
    requestAnimationFrame(loop);
  }

  // While paused the address says where (?start=84.36&paused), so it can be copied and shared;
  // playing, at the opening and at the end it says nothing of a moment.
  function followAddress(s) {
    if (scrubbing !== null) return;
    var params = new URLSearchParams(location.search);
    if (s.mode === 3) {
      params.set('start', String(Math.round(s.time * 1000) / 1000));
      params.set('paused', '');
    } else {
      params.delete('start');
      params.delete('paused');
    }
    var search = params.toString().replace(/=(&|$)/g, '$1');
    search = search ? '?' + search : '';
    if (search !== location.search) {
      history.replaceState(history.state, '', location.pathname + search + location.hash);
    }
  }

  // ---- A lost picture -----------------------------------------------------------------------

  // A phone drops the WebGL context of a page in the background. The layer's buffers and
  // programs go with it, so when the browser gives a new context the page opens the show again
  // at the moment it had reached, paused, and says so.
  canvas.addEventListener('webglcontextlost', function(event) {
    event.preventDefault(); // asks the browser for a new context
    notice('The browser has taken the picture away; it comes back when the browser allows.');
  });
  canvas.addEventListener('webglcontextrestored', function() {
    var s = status();
    var params = new URLSearchParams(location.search);
    if (s.mode !== 0) {
      params.set('start', String(Math.round(s.time * 1000) / 1000));
      params.set('paused', '');
    }
    try {
      sessionStorage.setItem('lumenfold-restored', '1');
    } catch (e) {
      // no storage: the page comes back without its note
    }
    location.replace(location.pathname + '?' + params.toString().replace(/=(&|$)/g, '$1'));
  });

  function takeRestoredNote() {
    try {
      var note = sessionStorage.getItem('lumenfold-restored') === '1';
      sessionStorage.removeItem('lumenfold-restored');
      return note;
    } catch (e) {
      return false;
    }
  }

  // ---- Offline ------------------------------------------------------------------------------

  // Once the music has arrived (or failed), the service worker keeps the page's files, so the
  // show plays again without the network; it is told which soundtrack this browser plays.
  function keepForOffline() {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('sw.js').then(function() {
      return navigator.serviceWorker.ready;
    }).then(function(registration) {
      var sound = Module.sound;
      if (registration.active && sound && sound.url && sound.state === 'ready') {
        registration.active.postMessage({keep: sound.url});
      }
    }).catch(function(error) {
      console.log('The page cannot be kept for offline use: ' + error.message);
    });
  }
  var offlineAsked = false;
  function watchForOffline() {
    if (offlineAsked || failed) return;
    var sound = window.Module && Module.sound;
    var s = ready && last.status;
    if (s && (!s.sound || (sound && (sound.state === 'ready' || sound.state === 'failed')))) {
      offlineAsked = true;
      keepForOffline();
      return;
    }
    setTimeout(watchForOffline, 500);
  }

  window.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', function() {
    layout();
    refresh();
  });
  load();
  layout();
  requestAnimationFrame(loop);
  watchForOffline();
})();
