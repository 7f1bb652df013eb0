// The web backend's side in JavaScript (forms/web/web_backend.cpp): the
// listeners that report each control's DOM events to the program, the
// scroll bar HTML lacks, the modal message box, and the page's own events.
// What the events mean is decided in C++; here is only the browser. The
// program calls in with numbers and the addresses of its texts, and finds
// its elements by the window's serial number and the control's index.
(function () {
  'use strict';

  // What the listeners report (forms/web/web_backend.cpp has the same).
  var kWhat = {focus: 0, click: 1, scroll: 2, key: 3, move: 4, input: 5, press: 6, release: 7, follow: 8, wheel: 9};
  function tell(serial, index, what, a, b) {
    return _iitcalc_forms_event(serial, index, kWhat[what], a | 0, b | 0) !== 0;
  }

  // The program's texts: UTF-8 or UTF-16 at an address, of a size.
  var utf8Decoder = new TextDecoder();
  function utf8(address, size) { return utf8Decoder.decode(HEAPU8.subarray(address, address + size)); }
  function utf16(address, size) {
    var text = '';
    for (var at = 0; at < size; at += 8192)
      text += String.fromCharCode.apply(null, HEAPU16.subarray((address >> 1) + at, (address >> 1) + Math.min(size, at + 8192)));
    return text;
  }
  // `text` into the program's `room` UTF-16 units at `address` when it fits;
  // its length either way, unit for unit (a lone surrogate too).
  function putUtf16(text, address, room) {
    if (text.length <= room) {
      for (var i = 0; i < text.length; ++i) HEAPU16[(address >> 1) + i] = text.charCodeAt(i);
    }
    return text.length;
  }

  // The windows shown, by serial number: the window, then its controls in
  // layout order.
  var windows = {};
  function frameOf(serial) { return windows[serial] ? windows[serial][0] : undefined; }
  function control(serial, index) { return windows[serial][index + 1]; }

  // The wheel anywhere over the window, as the program counts it: 120 a
  // notch, away from the user positive (wheelDeltaY where the browser has
  // it, else 100 pixels, 3 lines or a page a notch), with the control under
  // the pointer, or none over the bare window.
  var kNoControl = 4294967295;
  function wireWheel(frame, serial) {
    frame.addEventListener('wheel', function (event) {
      if (event.ctrlKey) return; // the browser's zoom
      if (event.target.closest && event.target.closest('dialog')) return; // an error report's
      event.preventDefault();
      var delta = typeof event.wheelDeltaY === 'number' && event.wheelDeltaY !== 0 ? event.wheelDeltaY
          : -event.deltaY * 120 / (event.deltaMode === 1 ? 3 : event.deltaMode === 2 ? 1 : 100);
      var over = event.target;
      while (over && over !== frame && over.formsIndex === undefined) over = over.parentNode;
      var index = over && over.formsIndex !== undefined ? over.formsIndex : kNoControl;
      tell(serial, index, 'wheel', Math.round(delta), 0);
    }, {passive: false});
  }

  function wireLabel(label, isLink, report) {
    label.addEventListener('mousedown', function (event) {
      if (isLink) event.preventDefault(); // neither the focus nor a drag
      report('press', event.button, event.detail);
      // Let go wherever: only inside the label is it a click.
      document.addEventListener('mouseup', function (up) {
        report('release', up.button, label.contains(up.target) ? 1 : 0);
      }, {capture: true, once: true});
    });
    label.addEventListener('mousemove', function () { report('move'); });
    if (!isLink) return;
    // The browser follows the link only when the program's Click opened it.
    label.addEventListener('click', function (event) {
      if (!report('follow', event.detail)) event.preventDefault();
    });
    label.addEventListener('auxclick', function (event) { event.preventDefault(); });
  }

  // A vertical scroll bar: an arrow at each end and a thumb between. The
  // arrows, a press in the trough and the keys ask the program to move it
  // (the requests of forms/input.h: 0 up a step, 1 down a step, 2 to the
  // top, 3 to the bottom, 4 the thumb let go at a position); dragging the
  // thumb moves the thumb alone until it is let go. The value, and the
  // accessible value with it, changes only when the program sets it.
  function wireScrollBar(bar, report) {
    var low = 0;
    var high = 0;
    var value = 0;
    var drag = null;
    var up = bar.querySelector('.forms-up');
    var track = bar.querySelector('.forms-track');
    var thumb = bar.querySelector('.forms-thumb');
    var down = bar.querySelector('.forms-down');

    function clamp(position) { return Math.max(low, Math.min(high, position)); }
    // The thumb's size and place are forms.css's, from these two.
    function drawThumb(position) {
      var span = high - low;
      bar.style.setProperty('--forms-steps', span + 1);
      bar.style.setProperty('--forms-at', span > 0 ? (position - low) / span : 0);
    }
    function draw() {
      if (!drag) drawThumb(value);
      bar.setAttribute('aria-valuenow', value);
      bar.setAttribute('aria-valuemin', low);
      bar.setAttribute('aria-valuemax', high);
    }
    function ask(request, position) { report('scroll', request, position); }
    bar.formsScroll = {
      value: function () { return value; },
      setValue: function (position) { value = clamp(position); draw(); },
      setRange: function (newLow, newHigh) { low = newLow; high = newHigh; value = clamp(value); draw(); }
    };

    up.addEventListener('mousedown', function (event) { if (event.button === 0) ask(0); });
    down.addEventListener('mousedown', function (event) { if (event.button === 0) ask(1); });
    track.addEventListener('mousedown', function (event) {
      if (event.button !== 0 || event.target !== track) return;
      ask(event.clientY < thumb.getBoundingClientRect().top ? 0 : 1);
    });
    thumb.addEventListener('pointerdown', function (event) {
      if (event.button !== 0) return;
      var box = thumb.getBoundingClientRect();
      var area = track.getBoundingClientRect();
      drag = {grab: event.clientY - box.top, top: area.top, travel: area.height - box.height, position: value};
      thumb.setPointerCapture(event.pointerId);
    });
    thumb.addEventListener('pointermove', function (event) {
      if (!drag || drag.travel <= 0) return;
      var share = (event.clientY - drag.grab - drag.top) / drag.travel;
      drag.position = clamp(low + Math.round(share * (high - low)));
      drawThumb(drag.position);
    });
    thumb.addEventListener('pointerup', function () {
      if (!drag) return;
      var position = drag.position;
      drag = null;
      ask(4, position);
      draw();
    });
    thumb.addEventListener('pointercancel', function () {
      drag = null;
      draw();
    });
    bar.addEventListener('keydown', function (event) {
      if (event.altKey || event.ctrlKey || event.metaKey) return;
      var requests = {ArrowUp: 0, ArrowLeft: 0, PageUp: 0, ArrowDown: 1, ArrowRight: 1, PageDown: 1, Home: 2, End: 3};
      if (!(event.key in requests)) return;
      event.preventDefault();
      ask(requests[event.key]);
    });
  }

  function wire(element, kind, serial, index) {
    element.formsIndex = index;
    function report(what, a, b) { return tell(serial, index, what, a, b); }
    if (kind === 'panel' || kind === 'button' || kind === 'textbox' || kind === 'scrollbar')
      element.addEventListener('focus', function () { report('focus'); });
    if (kind === 'button') {
      element.addEventListener('click', function () { report('click'); });
      // Enter and Escape are the program's (0 and 1; 1 for Ctrl, Alt or
      // Meta held, 2 for a repeat); what it takes, the browser does not do.
      element.addEventListener('keydown', function (event) {
        var key = {Enter: 0, Escape: 1}[event.key];
        if (key === undefined) return;
        var held = (event.ctrlKey || event.altKey || event.metaKey ? 1 : 0) | (event.repeat ? 2 : 0);
        if (report('key', key, held)) event.preventDefault();
      });
    } else if (kind === 'textbox') {
      element.addEventListener('input', function () { report('input'); });
    } else if (kind === 'label' || kind === 'link') {
      wireLabel(element, kind === 'link', report);
    } else if (kind === 'scrollbar') {
      wireScrollBar(element, report);
    }
  }

  // The window from its markup (forms/web/markup.h): the one the page holds
  // when it is there and not yet taken, else a new one first in the page's
  // body, with its places where the page's own differ. Every control wired.
  // What was typed in the page's window before now is noted, for
  // formsCatchUp.
  var kKinds = {s: 'scrollbar', p: 'panel', b: 'button', t: 'textbox', l: 'label', a: 'link', '-': 'line'};
  // The page's window of that id, when it holds one nobody has taken yet.
  function held(id) {
    var frame = document.getElementById(id);
    return frame && !frame.formsTaken && document.body.contains(frame) ? frame : null;
  }
  Module['formsPageHolds'] = function (address, size) { return held(utf8(address, size)) !== null; };

  Module['formsAdopt'] = function (serial, id, html, css, kinds, names) {
    kinds = utf8(kinds.address, kinds.size);
    var frame = held(utf8(id.address, id.size));
    if (!frame) {
      document.body.insertAdjacentHTML('afterbegin', utf8(html.address, html.size));
      frame = document.body.firstElementChild;
    }
    frame.formsTaken = true;
    // From here on a click is the program's own, not one to keep for later.
    if (window['iitcalcEarly']) window['iitcalcEarly'].ready = true;
    Module['formsRestyle'](css.address, css.size);
    wireWheel(frame, serial);
    var elements = [frame];
    frame.formsTyped = [];
    utf8(names.address, names.size).split('\n').forEach(function (name, index) {
      var element = document.getElementById(name);
      wire(element, kKinds[kinds[index]], serial, index);
      if (element.tagName === 'INPUT' && element.value !== element.defaultValue)
        frame.formsTyped.push([element, element.value]);
      elements.push(element);
    });
    windows[serial] = elements;
  };

  // The places of the window's controls where they differ from those the
  // page was built with (a text measured in the browser's fonts wider or
  // narrower than estimated): those rules alone, a rule a line, after the
  // page's own, so that the browser restyles only what they name.
  Module['formsRestyle'] = function (address, size) {
    var css = utf8(address, size);
    var layout = document.getElementById('forms-layout');
    if (layout && layout.textContent === css) return;
    var built = layout ? layout.textContent.split('\n') : [];
    var changed = css.split('\n').filter(function (rule) { return built.indexOf(rule) < 0; });
    var sheet = new CSSStyleSheet();
    sheet.replaceSync(changed.join('\n'));
    document.adoptedStyleSheets = [sheet];
  };

  Module['formsRemove'] = function (serial) {
    var frame = frameOf(serial);
    delete windows[serial];
    if (frame) frame.remove();
  };

  Module['formsViewport'] = function (which) {
    var root = document.documentElement;
    return which ? root.clientHeight : root.clientWidth;
  };

  // The windows placed again (as on a resize) once the browser next lays
  // the page out.
  Module['formsPlaceSoon'] = function () {
    requestAnimationFrame(function () { _iitcalc_forms_page_event(0); });
  };

  Module['formsPlace'] = function (serial, left, top, scale) {
    var style = frameOf(serial).style;
    style.left = left + 'px';
    style.top = top + 'px';
    style.transform = scale < 1 ? 'scale(' + scale + ')' : 'none';
  };

  Module['formsFocusFirst'] = function (serial, index) {
    var frame = frameOf(serial);
    if (index >= 0 && !frame.contains(document.activeElement)) control(serial, index).focus({preventScroll: true});
  };

  Module['formsText'] = function (serial, index, address, room) {
    return putUtf16(control(serial, index).value, address, room);
  };
  Module['formsSetText'] = function (serial, index, address, size) {
    control(serial, index).value = utf16(address, size);
  };
  // A box's tool tip; none for a size below 0.
  Module['formsSetTip'] = function (serial, index, address, size) {
    if (size < 0) control(serial, index).removeAttribute('title');
    else control(serial, index).title = utf16(address, size);
  };
  Module['formsShowFromStart'] = function (serial, index) {
    var input = control(serial, index);
    input.setSelectionRange(0, 0);
    input.scrollLeft = 0;
  };
  Module['formsSetRange'] = function (serial, index, low, high) { control(serial, index).formsScroll.setRange(low, high); };
  Module['formsScrollValue'] = function (serial, index) { return control(serial, index).formsScroll.value(); };
  Module['formsSetScrollValue'] = function (serial, index, value) { control(serial, index).formsScroll.setValue(value); };
  Module['formsMoveTop'] = function (serial, index, top) { control(serial, index).style.top = top + 'px'; };
  Module['formsSetHref'] = function (serial, index, address, size) { control(serial, index).href = utf16(address, size); };
  Module['formsShowHand'] = function (serial, index) {
    var style = control(serial, index).style;
    if (style.cursor !== 'pointer') style.cursor = 'pointer';
  };
  Module['formsSetTitle'] = function (address, size) {
    var title = utf16(address, size);
    if (document.title !== title) document.title = title;
  };
  Module['formsVisible'] = function () { return document.visibilityState === 'visible'; };

  // Once the window has run Activate: the text typed before it was ready
  // back over what Activate wrote, then the buttons clicked before it was
  // ready (the page's start script kept them) clicked, in order.
  Module['formsCatchUp'] = function (serial) {
    var frame = frameOf(serial);
    var early = window['iitcalcEarly'];
    var typed = frame.formsTyped || [];
    frame.formsTyped = [];
    var clicks = early ? early.clicks.splice(0) : [];
    if (!typed.length && !clicks.length) return;
    queueMicrotask(function () {
      typed.forEach(function (entry) {
        entry[0].value = entry[1];
        entry[0].dispatchEvent(new Event('input', {bubbles: true}));
      });
      clicks.forEach(function (id) {
        var button = document.getElementById(id);
        if (button) button.click();
      });
    });
  };

  Module['formsWatchPage'] = function () {
    function page(what) {
      return function () { _iitcalc_forms_page_event(what); };
    }
    document.addEventListener('visibilitychange', page(1));
    window.addEventListener('focus', page(1));
    window.addEventListener('resize', page(0));
  };

  // A text's width in CSS pixels in a CSS font, and the height of a line,
  // measured on a canvas that keeps the font last asked for (setting one
  // costs the browser a parse each time).
  var measuring;
  function measure(font, text) {
    measuring = measuring || document.createElement('canvas').getContext('2d');
    if (measuring.formsFont !== font) {
      measuring.font = font;
      measuring.formsFont = font;
    }
    return measuring.measureText(text);
  }
  Module['formsTextWidth'] = function (address, size, font, fontSize) {
    return measure(utf8(font, fontSize), utf16(address, size)).width;
  };
  Module['formsLineSpacing'] = function (font, fontSize) {
    var metrics = measure(utf8(font, fontSize), '');
    return metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
  };

  // A modal box: the caption as its title, an icon, the text's lines, its
  // one button (确定);
  // Enter or Escape dismisses it. Boxes shown while one is open wait their
  // turn; the focus goes back to where it was once the box is dismissed.
  var messageSerial = 0;
  function showNextMessage(owner) {
    var message = owner.formsMessages[0];
    if (!message) return;
    if (!owner.isConnected) {
      owner.formsMessages = [];
      return;
    }
    var id = 'forms-message-' + ++messageSerial;
    var dialog = document.createElement('dialog');
    dialog.className = 'forms-message forms-' + message.kind;
    dialog.setAttribute('role', message.kind === 'error' ? 'alertdialog' : 'dialog');
    dialog.setAttribute('aria-labelledby', id + '-title');
    dialog.setAttribute('aria-describedby', id + '-text');
    function add(parent, tag, className, text) {
      var element = document.createElement(tag);
      if (className) element.className = className;
      if (text !== undefined) element.textContent = text;
      parent.append(element);
      return element;
    }
    add(dialog, 'h2', 'forms-message-title', message.caption).id = id + '-title';
    var body = add(dialog, 'div', 'forms-message-body');
    add(body, 'div', 'forms-icon').setAttribute('aria-hidden', 'true');
    var text = add(body, 'div', 'forms-message-text');
    text.id = id + '-text';
    message.text.split('\n').forEach(function (line) { add(text, 'p', '', line); });
    var ok = add(add(dialog, 'div', 'forms-message-buttons'), 'button', '', message.button);
    ok.type = 'button';
    ok.addEventListener('click', function () { dialog.close(); });
    // The button is the box's default, wherever in the box the focus is.
    dialog.addEventListener('keydown', function (event) {
      if (event.key !== 'Enter' || event.target.tagName === 'BUTTON') return;
      event.preventDefault();
      dialog.close();
    });
    var before = document.activeElement;
    dialog.addEventListener('close', function () {
      dialog.remove();
      if (before && before.isConnected && typeof before.focus === 'function') before.focus({preventScroll: true});
      owner.formsMessages.shift();
      showNextMessage(owner);
    });
    owner.append(dialog);
    dialog.showModal();
    ok.focus();
  }

  // Owned by the window (0: by the page, when there is none).
  Module['formsShowMessage'] = function (serial, caption, text, kind, button) {
    var owner = frameOf(serial) || document.body;
    caption = utf16(caption.address, caption.size);
    text = utf8(text.address, text.size);
    button = utf8(button.address, button.size);
    kind = kind ? 'error' : 'warning';
    owner.formsMessages = owner.formsMessages || [];
    owner.formsMessages.push({caption: caption, text: text, kind: kind, button: button});
    if (owner.formsMessages.length === 1) showNextMessage(owner);
  };
})();
