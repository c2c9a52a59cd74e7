// Part of the game's module: when the game starts, where its files are, how
// it waits, and how it ends. The game starts when the page's
// Module.playerClicked promise resolves and the page's Module.gameFiles (the
// pictures, music and font as [path, bytes]) are in place. Its working
// directory is a folder of the browser's persistent storage (IndexedDB): read
// in before the game starts, each file stored again after every change the
// game makes to it; without usable storage the game still runs and nothing
// is kept.
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

  // The browser's storage keeps every file as an entry of its own, in the
  // layout Emscripten's IDBFS reads at start (so what earlier visits kept is
  // found). Each change the game makes is stored as a change of that one
  // file, never as a copy of all the files as this tab sees them: two tabs,
  // or the installed page beside a tab, keep each other's files.
  var store = null;
  var storing = Promise.resolve();
  var bringingIn = false;
  function stored(run) {
    storing = storing.then(function () {
      return new Promise(function (done) {
        try {
          var transaction = store.transaction(['FILE_DATA'], 'readwrite');
          transaction.oncomplete = function () { done(); };
          transaction.onerror = transaction.onabort = function () { warn(transaction.error); done(); };
          run(transaction.objectStore('FILE_DATA'));
        } catch (error) {
          warn(error);
          done();
        }
      });
    });
    return storing;
  }
  function keep(path) {
    path = PATH_FS.resolve(path);
    if (!store || bringingIn || path.indexOf(folder + '/') !== 0)  // the game's files, not the page's
      return;
    stored(function (files) {
      var node = FS.analyzePath(path);
      if (node.exists && FS.isFile(node.object.mode)) {
        var stat = FS.stat(path);
        files.put({ timestamp: stat.mtime, mode: stat.mode, contents: FS.readFile(path) }, path);
        // Its folders too, as IDBFS keeps them: a later start makes them first.
        for (var dir = PATH.dirname(path); dir.indexOf(folder + '/') === 0; dir = PATH.dirname(dir)) {
          var made = FS.stat(dir);
          files.put({ timestamp: made.mtime, mode: made.mode }, dir);
        }
      } else {
        files.delete(path);
      }
    });
    if (Module.filesChanged)
      Module.filesChanged(path);
  }
  // Every way the game changes a file ends in one of these.
  function keepAfter(name, paths) {
    var original = FS[name];
    FS[name] = function () {
      var before = paths(arguments);
      var result = original.apply(this, arguments);
      before.forEach(keep);
      return result;
    };
  }
  // The file as the tab that wrote it last left it in the storage.
  function bringIn(path) {
    return new Promise(function (done) {
      if (!store)
        return done();
      var request = store.transaction(['FILE_DATA'], 'readonly').objectStore('FILE_DATA').get(path);
      request.onsuccess = function () {
        var entry = request.result;
        if (entry && entry.contents) {
          bringingIn = true;
          try {
            FS.writeFile(path, entry.contents);
            FS.utime(path, entry.timestamp.getTime(), entry.timestamp.getTime());
          } finally {
            bringingIn = false;
          }
        }
        done();
      };
      request.onerror = function () { done(); };
    });
  }

  // The tabs take turns at a file (platform/browser/Locks.cpp) with the
  // browser's locks, a few seconds at most.
  var held = {};
  Module.lockFile = function (path) {
    path = PATH_FS.resolve(path);
    if (!navigator.locks)
      return takeLease(path).then(function (taken) {
        if (taken)
          held[path] = function () { return lease(path, false).catch(warn); };
        return bringIn(path).then(function () { return taken; });
      });
    return new Promise(function (taken) {
      var options = typeof AbortSignal.timeout === 'function' ? { signal: AbortSignal.timeout(3000) } : {};
      navigator.locks.request('ortelanka:' + path, options, function () {
        return new Promise(function (release) {
          held[path] = release;
          bringIn(path).then(function () { taken(1); });
        });
      }).catch(function () { taken(0); });
    });
  };
  Module.unlockFile = function (path) {
    path = PATH_FS.resolve(path);
    return storing.then(function () {
      var release = held[path];
      delete held[path];
      if (release)
        return release();
    });
  };

  // Without the browser's locks (Safari's Lockdown Mode) the tabs take turns
  // through leases in a database of their own: a read-write transaction is
  // where no two tabs can both find a file free and take it. A lease that a
  // closed tab left runs out after a few seconds.
  var LEASE_MS = 5000;
  var tab = Math.random().toString(36).slice(2) + Date.now().toString(36);
  var leases = null;
  function lease(path, take) {
    if (typeof indexedDB === 'undefined' || !indexedDB)
      return Promise.resolve(0);
    leases = leases || new Promise(function (opened, failed) {
      var request = indexedDB.open('ortelanka-leases', 1);
      request.onupgradeneeded = function () { request.result.createObjectStore('leases'); };
      request.onsuccess = function () { opened(request.result); };
      request.onerror = function () { failed(request.error); };
    });
    return leases.then(function (database) {
      return new Promise(function (done, failed) {
        var transaction = database.transaction(['leases'], 'readwrite');
        var all = transaction.objectStore('leases');
        var taken = 0;
        var request = all.get(path);
        request.onsuccess = function () {
          var now = Date.now(), holder = request.result;
          if (take && (!holder || holder.until < now)) {
            all.put({ tab: tab, until: now + LEASE_MS }, path);
            taken = 1;
          } else if (!take && holder && holder.tab === tab) {
            all.delete(path);
          }
        };
        transaction.oncomplete = function () { done(taken); };
        transaction.onerror = transaction.onabort = function () { failed(transaction.error); };
      });
    });
  }
  function takeLease(path) {
    var until = Date.now() + 3000;
    function attempt() {
      return lease(path, true).then(function (taken) {
        if (taken || Date.now() > until)
          return taken;
        return new Promise(function (later) { setTimeout(later, 20); }).then(attempt);
      });
    }
    return attempt().catch(function (error) {
      warn(error);
      return 0;
    });
  }

  function ready(database) {
    store = database;
    if (store) {
      keepAfter('close', function (args) { return (args[0].flags & 3) !== 0 ? [args[0].path] : []; });
      keepAfter('rename', function (args) { return [args[0], args[1]]; });
      keepAfter('unlink', function (args) { return [args[0]]; });
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
    ready(null);
  } else {
    FS.mount(IDBFS, {}, folder);
    // A file flushed to the disk (fsync, as every file replaced whole is)
    // would have IDBFS store the whole folder as this tab sees it, over the
    // newer files of another tab. The changes are stored file by file above,
    // so a flush has nothing to do, and returns at once: the board's picture
    // is flushed as the program ends, when nothing can wait any more.
    var storeFolder = IDBFS.syncfs;
    IDBFS.syncfs = function (mount, populate, callback) {
      if (populate)
        return storeFolder.apply(this, arguments);
      callback(null);
    };
    FS.syncfs(true, function (error) {
      if (error) {
        warn(error);
        return ready(null);
      }
      IDBFS.getDB(folder, function (error, database) {
        if (error)
          warn(error);
        ready(error ? null : database);
      });
    });
  }

  addRunDependency('ortelanka-data');
  Module.gameFiles.then(function (files) {
    // The file system takes the page's bytes as they are, without a copy.
    files.forEach(function (file) {
      var slash = file[0].lastIndexOf('/');
      FS.mkdirTree(file[0].slice(0, slash));
      FS.createDataFile(file[0].slice(0, slash), file[0].slice(slash + 1), file[1], true, false, true);
    });
    Module.gameFiles = null;
    removeRunDependency('ortelanka-data');
  });

  addRunDependency('ortelanka-player');
  Module.awaitingPlayer = true;  // from now on one dependency left is the player
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

// The game's waits (platform/browser/Waiting.cpp): a time, cut short by the
// player's input when the game waits for it. A hidden page holds every wait
// until it is shown again, and its music with it. The listeners stay: adding
// and removing them for every wait would cost more than the wait itself.
var endWait = null;
var endWaitOnInput = false;
function endWaitNow() {
  var end = endWait;
  endWait = null;
  if (end)
    end();
}
['keydown', 'keyup', 'mousedown', 'mouseup', 'mousemove', 'wheel', 'touchstart', 'touchmove', 'touchend',
 'touchcancel', 'resize', 'focus', 'blur'].forEach(function (type) {
  addEventListener(type, function () {
    // After every handler of the event, SDL's among them, has queued it.
    if (endWait && endWaitOnInput)
      setTimeout(endWaitNow, 0);
  }, { capture: true, passive: true });
});
document.addEventListener('visibilitychange', function () {
  var audio = Module.SDL2 && Module.SDL2.audioContext;
  if (audio)
    (document.hidden ? audio.suspend() : audio.resume()).catch(function () {});
  if (!document.hidden)
    endWaitNow();
});

Module.waitForPage = function (milliseconds, forInput) {
  return new Promise(function (resolve) {
    var timer = setTimeout(function () {
      if (!document.hidden)
        endWaitNow();
    }, milliseconds);
    endWaitOnInput = forInput;
    endWait = function () {
      clearTimeout(timer);
      resolve();
    };
  });
};

// News for the game from outside its window (the broker, the page's own
// control for online play) wakes its wait for input, as input does.
Module.wake = function () {
  if (Module._ortelanka_news)
    Module._ortelanka_news();
  endWaitNow();
};

// Online play's broker (platform/browser/Online.cpp): MQTT.js over
// websockets, which the page loads only when a player goes online
// (Module.loadMqtt). Its news waits here for the game to take it; each piece
// wakes the game's wait as input does. Nothing it brings is trusted: a payload
// is handed on cut to the parser's limit and one byte more.
Module.broker = (function () {
  var client = null;
  var news = [];
  var MOST_PAYLOAD = 4097;
  var MOST_PACKET = 8192;
  var text = new TextEncoder();
  function tell(item) {
    news.push(item);
    Module.wake();
  }
  return {
    request: null,
    connect: function (url, id, user, willTopic, willPayload) {
      if (!/^wss?:\/\/[^/]/.test(url))
        return false;
      var self = this;
      self.disconnect();
      Module.loadMqtt().then(function (mqtt) {
        // MQTT 5 lets the page name the largest packet it takes: the broker
        // then drops a larger message for it instead of sending it whole.
        var options = { clientId: id, username: user, clean: true, keepalive: 30, protocolVersion: 5,
                        properties: { maximumPacketSize: MOST_PACKET }, reconnectPeriod: 2000,
                        connectTimeout: 10000 };
        if (willTopic)
          options.will = { topic: willTopic, payload: willPayload, qos: 1, retain: true };
        var made = mqtt.connect(url, options);
        client = made;
        var lossExpected = false;
        made.on('connect', function () { if (client === made) tell({ kind: 1, topic: [], payload: [] }); });
        made.on('close', function () {
          if (lossExpected) {
            lossExpected = false;
            // A refusal stops MQTT.js trying again: this is a new try.
            if (made.reconnectSuppressed && client === made) {
              made.reconnectSuppressed = false;
              made.reconnect();
            }
            return;
          }
          if (client === made) tell({ kind: 2, topic: [], payload: [] });
        });
        // A broker of MQTT 3.1.1 only (a nats cluster's) refuses version 5:
        // the page then speaks 3.1.1 to it, and the loss that comes of
        // trying is no news.
        made.on('error', function (error) {  // a close follows
          if (made.options.protocolVersion === 5 && (error.code === 132 || error.code === 1)) {
            made.options.protocolVersion = 4;
            delete made.options.properties;
            lossExpected = true;
          }
        });
        made.on('message', function (topic, payload) {
          if (client === made)
            tell({ kind: 3, topic: text.encode(topic), payload: payload.subarray(0, MOST_PAYLOAD) });
        });
      }, function (error) {
        console.warn('Ortelanka: online play is not at hand (' + error.message + ')');
        tell({ kind: 2, topic: [], payload: [] });
      });
      return true;
    },
    subscribe: function (filter) {
      if (client)
        client.subscribe(filter, { qos: 1 });
    },
    unsubscribe: function (filter) {
      if (client)
        client.unsubscribe(filter);
    },
    // A broker of MQTT 5 drops a retained message that has expired; 3.1.1
    // has no such property.
    publish: function (topic, payload, retained, expiry) {
      if (!client || !client.connected)
        return false;
      var options = { qos: 1, retain: retained };
      if (expiry > 0 && client.options.protocolVersion === 5)
        options.properties = { messageExpiryInterval: expiry };
      client.publish(topic, payload, options);
      return true;
    },
    peek: function () { return news[0] || null; },
    take: function () { return news.shift(); },
    disconnect: function () {
      if (client)
        client.end(false);
      client = null;
      news = [];
    },
  };
})();
