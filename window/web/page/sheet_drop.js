// The payroll-sheet control below the window: a CSV file chosen or dropped
// is calculated in the page by the program's sheet converter
// (window/web/sheet_drop.cpp), a piece at a time with the page free between
// pieces, and its result offered as NAME-个税.csv. The file is read here and
// nowhere else; nothing of it is sent or kept.
(function () {
  'use strict';
  var kPiece = 256 * 1024;
  var kGap = 12; // CSS pixels between the window and the control

  var section;
  var status;
  var progress;
  var download;
  var running = 0; // the run under way: a newer file stops an older one
  var resultUrl = '';

  function add(parent, tag, text) {
    var element = document.createElement(tag);
    element.textContent = text;
    parent.append(element);
    return element;
  }

  function cString(address) {
    return new TextDecoder().decode(HEAPU8.subarray(address, HEAPU8.indexOf(0, address)));
  }

  // "工资表.csv" gives "工资表-个税.csv", as iitcalc-cli names it.
  function resultName(name) {
    var dot = name.lastIndexOf('.');
    return name.slice(0, dot > 0 ? dot : name.length) + '-个税.csv';
  }

  // What the converter says is worded for iitcalc-cli; its options mean
  // nothing here.
  function withoutOptions(text) {
    return text.replace(/；请用 --.*$/, '').replace(/（可用 --[^）]*）/g, '');
  }

  function hasFiles(event) {
    return Array.prototype.indexOf.call(event.dataTransfer.types, 'Files') >= 0;
  }

  // Below the window, as wide as it shows, wherever the window goes (it is
  // placed again when the page's size changes and made anew by 清空).
  var watched = null;
  var watcher = new MutationObserver(place);
  function place() {
    var frame = document.querySelector('.forms-window');
    if (frame !== watched) {
      watcher.disconnect();
      watcher.observe(document.body, {childList: true});
      if (frame) watcher.observe(frame, {attributes: true, attributeFilter: ['style']});
      watched = frame;
    }
    if (!frame) return;
    var box = frame.getBoundingClientRect();
    section.style.left = box.left + window.scrollX + 'px';
    var update = document.querySelector('.page-update'); // a new version's line, right below the window
    section.style.top = box.bottom + window.scrollY + kGap + (update ? update.offsetHeight : 0) + 'px';
    section.style.width = box.width + 'px';
    section.style.visibility = 'visible';
  }

  function take(sheet, parts) {
    var size = _iitcalc_sheet_result_size(sheet);
    if (size > 0) {
      var start = _iitcalc_sheet_result(sheet);
      parts.push(HEAPU8.slice(start, start + size));
    }
  }

  function summary(sheet, name) {
    var failed = _iitcalc_sheet_count(sheet, 1);
    var line = '“' + name + '”：计算 ' + _iitcalc_sheet_count(sheet, 0) + ' 行';
    if (failed > 0) {
      var rows = [];
      for (var i = 10, row; (row = _iitcalc_sheet_count(sheet, i)) > 0; ++i) rows.push(row);
      line += '，出错 ' + failed + ' 行（第 ' + rows.join('、') + ' 行' + (failed > rows.length ? '等' : '') +
        '），原因见“出错原因”列';
    }
    var notes = cString(_iitcalc_sheet_notes(sheet));
    return [line + '。'].concat(notes ? notes.split('\n').map(function (note) {
      return '注意：' + withoutOptions(note) + '。';
    }) : []);
  }

  function show(lines) {
    status.replaceChildren();
    lines.forEach(function (line) { add(status, 'span', line); });
  }

  async function calculate(file) {
    var run = ++running;
    if (resultUrl) URL.revokeObjectURL(resultUrl);
    resultUrl = '';
    download.hidden = true;
    download.removeAttribute('href');
    progress.max = Math.max(file.size, 1);
    progress.value = 0;
    progress.hidden = false;
    section.setAttribute('aria-busy', 'true');
    show(['正在计算“' + file.name + '”…']);
    var sheet = _iitcalc_sheet_open();
    var parts = [];
    var usable = sheet !== 0;
    try {
      for (var offset = 0; usable && offset < file.size; offset += kPiece) {
        var bytes = new Uint8Array(await file.slice(offset, offset + kPiece).arrayBuffer());
        if (run !== running) return;
        var room = _iitcalc_sheet_room(sheet, bytes.length);
        usable = room !== 0;
        if (usable) {
          HEAPU8.set(bytes, room);
          usable = _iitcalc_sheet_read(sheet, bytes.length) !== 0;
          take(sheet, parts);
        }
        progress.value = offset + bytes.length;
        // The page takes its clicks and keys between pieces.
        await new Promise(function (resume) { setTimeout(resume, 0); });
        if (run !== running) return;
      }
      if (usable) {
        usable = _iitcalc_sheet_finish(sheet) !== 0;
        take(sheet, parts);
      }
      if (!usable) {
        var problem = sheet !== 0 ? cString(_iitcalc_sheet_problem(sheet)) : '';
        show(['“' + file.name + '”无法计算：' + withoutOptions(problem || '内存不足') + '。']);
        return;
      }
      show(summary(sheet, file.name));
      resultUrl = URL.createObjectURL(new Blob(parts, {type: 'text/csv;charset=utf-8'}));
      download.href = resultUrl;
      download.download = resultName(file.name);
      download.textContent = '下载“' + download.download + '”';
      download.hidden = false;
    } catch (error) {
      if (run === running) show(['无法读取“' + file.name + '”（' + error.message + '）。']);
    } finally {
      if (sheet !== 0) _iitcalc_sheet_close(sheet);
      if (run === running) {
        progress.hidden = true;
        section.removeAttribute('aria-busy');
      }
    }
  }

  // Called by the program once the window is up (offerSheetDrop): the
  // control is in the page already (index.html), and takes files from now
  // on -- and the one chosen or dropped before.
  Module['sheetDropOffer'] = function () {
    section = document.querySelector('.sheet-drop');
    if (!section) return;
    var input = section.querySelector('input[type=file]');
    progress = section.querySelector('progress');
    status = section.querySelector('.sheet-status');
    download = section.querySelector('.sheet-download');

    input.addEventListener('change', function () {
      if (input.files.length > 0) calculate(input.files[0]);
      input.value = ''; // the same file again is a new choice
    });
    section.addEventListener('dragover', function (event) {
      if (!hasFiles(event)) return;
      event.preventDefault();
      event.dataTransfer.dropEffect = 'copy';
      section.classList.add('sheet-over');
    });
    section.addEventListener('dragleave', function (event) {
      if (!section.contains(event.relatedTarget)) section.classList.remove('sheet-over');
    });
    section.addEventListener('drop', function (event) {
      section.classList.remove('sheet-over');
      if (!hasFiles(event)) return;
      event.preventDefault();
      if (event.dataTransfer.files.length > 0) calculate(event.dataTransfer.files[0]);
    });
    // A file let go beside the control would replace the page with itself.
    document.addEventListener('dragover', function (event) {
      if (hasFiles(event) && !section.contains(event.target)) {
        event.preventDefault();
        event.dataTransfer.dropEffect = 'none';
      }
    });
    document.addEventListener('drop', function (event) {
      if (hasFiles(event) && !section.contains(event.target)) event.preventDefault();
    });
    window.addEventListener('resize', place);
    requestAnimationFrame(place); // as the browser lays the page out, not before
    var early = window['iitcalcEarly'];
    var before = input.files.length > 0 ? input.files[0] : early && early.dropped;
    if (before) calculate(before);
    input.value = '';
  };
})();
