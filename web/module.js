// Part of the game's module: when the game starts, where its files are, and
// how it ends. The game starts when the page's Module.playerClicked promise
// resolves. Its working directory is a folder of the browser's persistent
// storage (IndexedDB): read in before the game starts, written back after
// every change the game makes; without usable storage the game still runs and
// nothing is kept.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  // Keys go to the canvas, which has the focus, not to the whole page.
  ENV.SDL_EMSCRIPTEN_KEYBOARD_ELEMENT = '#canvas';

  var folder = '/home/web_user/ortelanka';
  var warned = false;
  function warn(error) {
    if (!warned)
      console.warn('Ortelanka: the browser keeps no files (' + error + '); nothing will be saved.');
    warned = true;
  }

  var saving = false;
  var saveAgain = false;
  function save() {
    if (saving) {
      saveAgain = true;
      return;
    }
    saving = true;
    FS.syncfs(false, function (error) {
      saving = false;
      if (error)
        warn(error);
      if (saveAgain) {
        saveAgain = false;
        save();
      }
    });
  }
  // Every way the game changes a file ends in one of these.
  function saveAfter(name, changes) {
    var original = FS[name];
    FS[name] = function () {
      var result = original.apply(this, arguments);
      if (changes(arguments))
        save();
      return result;
    };
  }

  function ready(persistent) {
    if (persistent) {
      saveAfter('close', function (args) { return (args[0].flags & 3) !== 0; });  // opened for writing
      saveAfter('rename', function () { return true; });
      saveAfter('unlink', function () { return true; });
    }
    if (!FS.analyzePath(folder + '/data').exists)
      FS.mkdir(folder + '/data');
    FS.chdir(folder);
    removeRunDependency('ortelanka-files');
  }
  FS.mkdirTree(folder);
  addRunDependency('ortelanka-files');
  // Without IndexedDB at all, Emscripten's IDBFS would stop the program.
  if (typeof indexedDB === 'undefined' || !indexedDB) {
    warn('no IndexedDB');
    ready(false);
  } else {
    FS.mount(IDBFS, {}, folder);
    FS.syncfs(true, function (error) {
      if (error)
        warn(error);
      ready(!error);
    });
  }

  addRunDependency('ortelanka-player');
  Module.playerClicked.then(function () {
    removeRunDependency('ortelanka-player');
  });
});

// The game's main sleeps (ASYNCIFY), so the runtime does not see it return:
// when it does, the program ends as a native one does, static destructors
// (the board's data/hra.dat) included, and the page hears of it (onExit).
Module.postRun = Module.postRun || [];
Module.postRun.push(function () {
  if (!Asyncify.currData)
    return;
  Asyncify.whenDone().then(function (code) {
    try {
      exit(code);
    } catch (e) {
      if (!(e instanceof ExitStatus))
        throw e;
    }
  });
});
