// The page's own part of the program's script: offline after the first
// visit, the service worker keeping the page's files. Nothing the user types
// goes anywhere; the worker only serves these files.
(function () {
  'use strict';
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  window.addEventListener('load', function () {
    navigator.serviceWorker.register('sw.js').catch(function () {
      // Without it the page still works; it needs the network to open.
    });
  });
})();
