// How the program's WebAssembly becomes an instance: from the bytes the
// page's start script fetched meanwhile (window/web/page/boot.js), once the
// window the page holds has been painted -- the program never holds up the
// first paint; where the page is not shown (nothing is painted), at once.
// When the bytes are in by then, the module is compiled and instantiated
// there and then (the browser compiles a function when it is first called,
// so this is quick) and the program starts in the same task; otherwise as
// soon as they are.
(function () {
  'use strict';
  function afterPaint(go) {
    var gone = false;
    function once() {
      if (!gone) {
        gone = true;
        go();
      }
    }
    if (document.visibilityState !== 'visible') return once();
    requestAnimationFrame(function () { setTimeout(once, 0); });
    setTimeout(once, 100); // hidden meanwhile: no frame comes
  }

  Module['instantiateWasm'] = function (imports, receive) {
    var early = window['iitcalcEarly'];
    afterPaint(function () {
      if (early.bytes) {
        var module = new WebAssembly.Module(early.bytes);
        receive(new WebAssembly.Instance(module, imports), module);
        return;
      }
      early.fetched.then(function (bytes) {
        return WebAssembly.instantiate(bytes, imports).then(function (result) {
          receive(result.instance, result.module);
        });
      });
    });
    return {};
  };
})();
