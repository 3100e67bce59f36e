// Calls of Emscripten's SDL 1.2 that must behave as on the desktop.
mergeInto(LibraryManager.library, {
  // The desktop refuses a missing surface with -1; the game relies on it when the
  // game-over picture is missing or no line has been drawn yet.
  SDL_UpperBlit__deps: ['$SDL'],
  SDL_UpperBlit: function (src, srcrect, dst, dstrect) {
    if (!src || !dst) {
      return -1;
    }
    return SDL.blitSurface(src, srcrect, dst, dstrect, false);
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

  // The same, without the line the built-in call adds to the game's own output.
  SDL_Quit__deps: ['SDL_AudioQuit'],
  SDL_Quit: function () {
    _SDL_AudioQuit();
  },
});
