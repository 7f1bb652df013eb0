// The page's start, written into index.html itself so that it runs whatever
// else fails to load: it keeps the clicks on the window's buttons made
// before the program is ready (the program presses them once it is), fetches
// the program once the window is painted, says why in the page when the
// program cannot start, and keeps the page's files for offline use through
// the service worker, telling an open page when a new version is ready.
// Nothing the user types goes anywhere.
(function () {
  'use strict';
  var early = window.iitcalcEarly = {clicks: [], ready: false, failed: false};

  document.addEventListener('click', function (event) {
    var button = !early.ready && event.target.closest && event.target.closest('.forms-window button');
    if (button && button.id) early.clicks.push(button.id);
  }, true);

  // A file let go on the page before the program is ready: the payroll-sheet
  // control takes it once it is, and the browser does not open it instead.
  ['dragover', 'drop'].forEach(function (type) {
    document.addEventListener(type, function (event) {
      if (early.ready || !event.dataTransfer || Array.prototype.indexOf.call(event.dataTransfer.types, 'Files') < 0) return;
      event.preventDefault();
      var target = event.target.closest && event.target.closest('.sheet-drop');
      if (type === 'drop' && target && event.dataTransfer.files.length > 0) early.dropped = event.dataTransfer.files[0];
    });
  });

  function note(className, text) {
    var line = document.createElement('p');
    line.className = 'page-note ' + className;
    line.setAttribute('role', className === 'page-failed' ? 'alert' : 'status');
    line.textContent = text;
    document.body.append(line);
    return line;
  }

  // Called here, and by the program when it cannot open its window.
  var fail = window.iitcalcFailed = function (why) {
    if (early.failed) return;
    early.failed = true;
    var show = function () {
      var frame = document.querySelector('.forms-window');
      if (frame) frame.inert = true;
      note('page-failed', '个人所得税计算器未能启动：' + why +
        '。请重新加载本页；如果仍然不行，请换用支持 WebAssembly 的浏览器（新版的 Chrome、Edge、Firefox 或 Safari）。');
    };
    if (document.body) show();
    else document.addEventListener('DOMContentLoaded', show);
  };

  // `then`, once, as soon as the window is painted (or at once where the
  // page is not shown, or stops being shown first): the program never
  // competes with the page for its first paint, and the user can type
  // meanwhile.
  function afterPaint(then) {
    var gone = false;
    function go() {
      if (gone) return;
      gone = true;
      then();
    }
    var observing = typeof PerformanceObserver === 'function' && PerformanceObserver.supportedEntryTypes &&
      PerformanceObserver.supportedEntryTypes.indexOf('paint') >= 0;
    if (document.visibilityState !== 'visible' || !observing) return setTimeout(go, 0);
    new PerformanceObserver(function (entries, observer) {
      if (entries.getEntriesByName('first-contentful-paint').length === 0) return;
      observer.disconnect();
      go();
    }).observe({type: 'paint', buffered: true});
    document.addEventListener('visibilitychange', function () {
      if (document.visibilityState !== 'visible') go();
    });
  }

  // The program: its WebAssembly fetched here, its script (which makes an
  // instance of it, window/web/page/start.js) beside it.
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail('这个浏览器不支持 WebAssembly');
  } else {
    afterPaint(function () {
      // Compiled as it arrives, off the page's thread; a host that serves
      // it as something else than application/wasm costs a second fetch.
      var fetched = function () {
        return fetch('@WASM@', {credentials: 'same-origin'}).then(function (response) {
          return response.ok ? response : Promise.reject(new Error('WebAssembly: ' + response.status));
        });
      };
      var whole = function () {
        return fetched().then(function (response) { return response.arrayBuffer(); }).then(WebAssembly.compile);
      };
      early.compiled = (typeof WebAssembly.compileStreaming === 'function' ? fetched().then(function (response) {
        return WebAssembly.compileStreaming(response).catch(whole);
      }) : whole()).then(function (module) {
        early.module = module;
        return module;
      });
      var script = document.createElement('script');
      script.src = '@SCRIPT@';
      document.head.append(script);
    });
  }

  // The program's script missing, or its WebAssembly not loading or not
  // starting, before the window is ready.
  window.addEventListener('error', function (event) {
    if (early.ready) return;
    var target = event.target;
    if (target && target.tagName === 'SCRIPT') fail('程序文件没有载入（网络中断，或网站上缺少这个文件）');
    else if (target === window) fail('程序出错（' + (event.message || '未知错误') + '）');
  }, true);
  window.addEventListener('unhandledrejection', function (event) {
    if (early.ready) return;
    var reason = String(event.reason && event.reason.message || event.reason || '');
    fail(/wasm|fetch|WebAssembly/i.test(reason) ? '程序的 WebAssembly 文件没有载入（网络中断，或网站没有正确提供这个文件）'
      : '程序出错（' + reason + '）');
  });

  // Offline after the first visit. A new version's worker takes over at
  // once; the page open meanwhile keeps running what it started with (every
  // file but this page is named for its content) and says so in one line.
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  var serviced = navigator.serviceWorker.controller !== null;
  navigator.serviceWorker.addEventListener('controllerchange', function () {
    if (serviced && !document.querySelector('.page-update')) {
      var line = note('page-update', '新版本已就绪，重新打开即可使用');
      // Right below the window, as wide; the payroll-sheet control moves
      // down to make room.
      var place = function () {
        var frame = document.querySelector('.forms-window');
        if (!frame) return;
        var box = frame.getBoundingClientRect();
        line.style.left = box.left + window.scrollX + 'px';
        line.style.top = box.bottom + window.scrollY + 'px';
        line.style.width = box.width + 'px';
      };
      place();
      window.addEventListener('resize', place);
    }
    serviced = true;
  });
  // The worker is registered under its version's name, read from the
  // server past every cache: a host that answers "not modified" for a file
  // that was replaced by one as old (many do, going by the files' times)
  // cannot keep an update from the browser.
  function register() {
    if (!navigator.onLine) return;
    fetch('sw.js', {cache: 'no-store'}).then(function (response) {
      return response.ok ? response.text() : Promise.reject(new Error(String(response.status)));
    }).then(function (worker) {
      var version = /const CACHE = '([^']+)'/.exec(worker);
      return navigator.serviceWorker.register('sw.js?' + (version ? version[1] : ''));
    }).catch(function () {
      // Offline, the version in hand goes on; without a worker the page
      // still works, and needs the network to open.
    });
  }
  // Once the program has started: the worker's install fetches every file
  // again, which should not hold the program's own up.
  window.addEventListener('iitcalc-ready', function () {
    if (document.readyState === 'complete') register();
    else window.addEventListener('load', register);
  }, {once: true});
})();
