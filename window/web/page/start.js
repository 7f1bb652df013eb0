// How the program's WebAssembly becomes an instance: from the bytes the
// page's start script fetched beside this script (window/web/page/boot.js).
// When they are in by the time this script runs, the module is compiled and
// instantiated there and then (the browser compiles a function when it is
// first called, so this is quick) and the program starts in the same task;
// otherwise as soon as they are.
(function () {
  'use strict';
  Module['instantiateWasm'] = function (imports, receive) {
    var early = window['iitcalcEarly'];
    if (early.bytes) {
      var module = new WebAssembly.Module(early.bytes);
      receive(new WebAssembly.Instance(module, imports), module);
    } else {
      early.fetched.then(function (bytes) {
        return WebAssembly.instantiate(bytes, imports).then(function (result) {
          receive(result.instance, result.module);
        });
      });
    }
    return {};
  };
})();
