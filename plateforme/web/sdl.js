// Calls of Emscripten's SDL 1.2 that must behave as on the desktop, and its sound started at a tap.
mergeInto(LibraryManager.library, {
  // The desktop refuses a missing surface with -1; the game relies on it when the
  // game-over picture is missing or no line has been drawn yet.
  // A blit onto the screen that repeats the last blit, with nothing drawn or freed
  // since (the cursor on the same spot, pass after pass), changes no pixel: the page's
  // pictures are opaque or wholly transparent. Left undone, it leaves the canvas alone,
  // and the browser shows the next press a frame sooner: a canvas drawn on at every
  // pass keeps the browser's frames a step behind it.
  SDL_UpperBlit__deps: ['$SDL'],
  SDL_UpperBlit: function (src, srcrect, dst, dstrect) {
    if (!src || !dst) {
      return -1;
    }
    var blit = JSON.stringify([src, dst, srcrect && SDL.loadRect(srcrect), dstrect && SDL.loadRect(dstrect)]);
    if (dst === SDL.screen && blit === SDL.dernierBlit) {
      return 0;
    }
    SDL.dernierBlit = blit;
    return SDL.blitSurface(src, srcrect, dst, dstrect, false);
  },

  // The built-in calls, which draw or free and so end a repeat.
  $RemplirSDL: LibraryManager.library.SDL_FillRect,
  SDL_FillRect__deps: ['$SDL', '$RemplirSDL'],
  SDL_FillRect: function (surf, rect, couleur) {
    SDL.dernierBlit = null;
    return RemplirSDL(surf, rect, couleur);
  },
  $DeverrouillerSDL: LibraryManager.library.SDL_UnlockSurface,
  SDL_UnlockSurface__deps: ['$SDL', '$DeverrouillerSDL'],
  SDL_UnlockSurface: function (surf) {
    SDL.dernierBlit = null;
    DeverrouillerSDL(surf);
  },
  SDL_FreeSurface__deps: ['$SDL'],
  SDL_FreeSurface: function (surf) {
    SDL.dernierBlit = null;
    if (surf) SDL.freeSurface(surf);
  },

  // The built-in call only ever adds channels, and the mixer opens with 32: a game
  // asking for one would have shots overlap instead of the newest cutting the oldest.
  Mix_AllocateChannels__deps: ['$SDL', 'Mix_HaltChannel'],
  Mix_AllocateChannels: function (n) {
    for (var i = n; i < SDL.channels.length; i++) {
      _Mix_HaltChannel(i);
    }
    SDL.channels.length = Math.min(SDL.channels.length, n);
    while (SDL.channels.length < n) {
      SDL.channels.push({ audio: null, volume: 1.0 });
    }
    SDL.numChannels = n;
    return n;
  },

  // The flip's yield to the browser, which a press cuts short: left to its timer, a
  // press waited for it and for the frame the browser draws first, 10 to 20 ms more
  // than a page that starts its sound in its own handler. So a press wakes the game
  // in its own event, and while one waits in the queue (behind the touch event
  // Emscripten adds to a click, say) a flip does not yield at all.
  Ceder__deps: ['$SDL', '$safeSetTimeout', '$callUserCallback', '$Devancer'],
  Ceder__postset: "['mousedown', 'keydown', 'keyup'].forEach(function (type) {" +
    " addEventListener(type, function () { if (SDL.reveil) callUserCallback(SDL.reveil); }); });",
  Ceder: function () {
    if (!SDL.lance) {
      SDL.lance = true;
      Devancer();
    }
    Asyncify.handleSleep(function (reprendre) {
      var appui = SDL.events.some(function (e) {
        return e.type === 'mousedown' || e.type === 'keydown' || e.type === 'keyup';
      });
      if (appui) {
        reprendre();
        return;
      }
      var fait = false;
      SDL.reveil = function () {
        if (fait) return;
        fait = true;
        SDL.reveil = null;
        reprendre();
      };
      safeSetTimeout(SDL.reveil, 0);
    });
  },

  // Once the game's start is over, in a moment the page is idle: the pictures the
  // game has yet to read, decoded ahead (image.cpp), then the page's own Module.enJeu.
  $Devancer__deps: ['$callUserCallback'],
  $Devancer: function () {
    var prevoir = function () {
      callUserCallback(_Prevoir);
      if (Module['enJeu']) Module['enJeu']();
    };
    if (window.requestIdleCallback) {
      requestIdleCallback(prevoir);
    } else {
      setTimeout(prevoir, 0);
    }
  },

  // A page may start its sound only in the handler of a player's gesture: a click, or
  // of a touch only its end. Emscripten's SDL tries once, at the first press, key or
  // touchstart; on a phone that is the press the page sends at a touch's start, too
  // early. So every touch's end and click tries again while the sound is not running
  // (Safari says `interrupted` after a call); a shot asked for meanwhile plays whole
  // once it runs. Capture listeners of the window, set as the script loads (SDL_Init
  // pulls them in).
  $Debloquer__deps: ['$SDL'],
  $Debloquer__postset: "['touchend', 'click'].forEach(function (type) { addEventListener(type, Debloquer, true); });",
  $Debloquer: function () {
    var contexte = SDL.audioContext;
    if (contexte && contexte.state !== 'running' && contexte.state !== 'closed') {
      // WebKit refuses it on a touch that is not a tap: the next gesture tries again.
      contexte.resume().catch(function () {});
    }
  },

  // Chromium on the desktop sets its sound up in a process of its own at a browser's
  // first audio context, a tenth of a second in which the page waits. Asking for the
  // list of outputs once the script has loaded sets it up then, without waiting, before
  // the game's Mix_OpenAudio makes that context. The asking takes a tenth of the
  // script's evaluation, the start's longest task: it comes in a task of its own.
  $Preparer__postset: "setTimeout(Preparer);",
  $Preparer: function () {
    if (navigator.mediaDevices && navigator.mediaDevices.enumerateDevices)
      navigator.mediaDevices.enumerateDevices().catch(function () {});
  },

  // The built-in call, less its `unload` listener (a quit no one would see): that
  // deprecated event keeps a page out of the back/forward cache, so the game comes
  // back from it where it was, still playing.
  SDL_Init__deps: ['$Souffler', '$Initialiser', '$Debloquer', '$Preparer'],
  SDL_Init: function (initFlags) {
    return Souffler(function () { return Initialiser(initFlags); });
  },
  $Initialiser__deps: ['$SDL', '$zeroMemory'],
  $Initialiser: function (initFlags) {
    SDL.startTime = Date.now();
    SDL.initFlags = initFlags;
    // The game locks a surface only to write each of its pixels (a picture read, a
    // line drawn): reading the canvas back first, as a lock does by default, is waste,
    // and on a phone a slow one, at the game-over picture's press as at the start.
    SDL.defaults.discardOnLock = true;
    if (!Module['doNotCaptureKeyboard']) {
      var cible = Module['keyboardListeningElement'] || document;
      ['keydown', 'keyup', 'keypress'].forEach(function (type) { cible.addEventListener(type, SDL.receiveEvent); });
      window.addEventListener('focus', SDL.receiveEvent);
      window.addEventListener('blur', SDL.receiveEvent);
      document.addEventListener('visibilitychange', SDL.receiveEvent);
    }
    SDL.keyboardState = _malloc(0x10000);
    zeroMemory(SDL.keyboardState, 0x10000);
    var types = { keydown: 0x300, keyup: 0x301, keypress: 0x303, mousedown: 0x401, mouseup: 0x402,
                  mousemove: 0x400, wheel: 0x403, touchstart: 0x700, touchend: 0x701, touchmove: 0x702,
                  resize: 0x7001, visibilitychange: 0x200, focus: 0x200, blur: 0x200,
                  joystick_axis_motion: 0x600, joystick_button_down: 0x603, joystick_button_up: 0x604 };
    for (var t in types)
      SDL.DOMEventToSDLEvent[t] = types[t];
    return 0;
  },

  // Until the first flip, SDL's set-up, each new surface and each step (Etape) first
  // let the browser run: the game's start, pictures, font and first screen,
  // is then a few short tasks rather than one long one that a phone's first tap would
  // wait behind. Never in play, nor in a call the page tests make while the game sleeps.
  $Souffler__deps: ['$SDL', '$safeSetTimeout'],
  $Souffler: function (faire) {
    // A rewind, as the game resumes, must go through handleSleep to end.
    if (Asyncify.state === Asyncify.State.Normal && (SDL.lance || Asyncify.currData))
      return faire();
    // As the flip's: an exit in the game's start then ends it as it would unbroken.
    return Asyncify.handleSleep(function (reprendre) {
      safeSetTimeout(function () { reprendre(faire()); }, 0);
    });
  },

  // A step of the start that makes no surface: decoding a picture, drawing a line.
  Etape__deps: ['$Souffler'],
  Etape: function () {
    return Souffler(function () { return 0; });
  },

  SDL_CreateRGBSurface__deps: ['$SDL', '$Souffler'],
  SDL_CreateRGBSurface: function (flags, width, height, depth, rmask, gmask, bmask, amask) {
    return Souffler(function () {
      return SDL.makeSurface(width, height, flags, false, 'CreateRGBSurface', rmask, gmask, bmask, amask);
    });
  },

  // The same, without the line the built-in call adds to the game's own output.
  SDL_Quit__deps: ['SDL_AudioQuit'],
  SDL_Quit: function () {
    _SDL_AudioQuit();
  },
});
