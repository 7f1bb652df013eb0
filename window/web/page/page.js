// Offline after the first visit: the service worker keeps the page's files.
// Nothing the user types goes anywhere; the worker only serves these files.
'use strict';
if ('serviceWorker' in navigator && window.isSecureContext) {
  window.addEventListener('load', function () {
    navigator.serviceWorker.register('sw.js').catch(function () {
      // Without it the page still works; it just needs the network to open.
    });
  });
}
