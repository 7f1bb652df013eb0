// How the program's WebAssembly becomes an instance: from the module the
// page's start script compiled as it arrived (window/web/page/boot.js; it
// fetches this script and the WebAssembly once the window is painted). When
// it is compiled by the time this script has run, the instance is made in
// the next task (this script's own is long enough) and the program starts
// there; otherwise as soon as it is.
(function () {
  'use strict';
  Module['instantiateWasm'] = function (imports, receive) {
    var early = window['iitcalcEarly'];
    if (early.module) {
      setTimeout(function () { receive(new WebAssembly.Instance(early.module, imports), early.module); }, 0);
    } else {
      early.compiled.then(function (module) {
        return WebAssembly.instantiate(module, imports).then(function (instance) { receive(instance, module); });
      });
    }
    return {};
  };
})();
