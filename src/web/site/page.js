'use strict';
// The page's elements. Every decision is the module's: this script makes the
// elements it is told to, passes each event on, one at a time, and waits
// with the module for boxes, dialogs and files.

const TavioPage = (() => {
  const ui = {
    en: {choose: 'Choose unit\u2026', tryIt: 'Try it with a simulated unit', backups: 'Backups',
         download: 'Download', close: 'Close', none: 'No backups yet.',
         ok: 'OK', yes: 'Yes', no: 'No', retry: 'Retry', cancel: 'Cancel'},
    de: {choose: 'Ger\u00e4t w\u00e4hlen\u2026', tryIt: 'Mit einem simulierten Ger\u00e4t ausprobieren',
         backups: 'Sicherungen', download: 'Herunterladen', close: 'Schlie\u00dfen', none: 'Noch keine Sicherungen.',
         ok: 'OK', yes: 'Ja', no: 'Nein', retry: 'Wiederholen', cancel: 'Abbrechen'},
  };
  // The page's own words are in the language the module chose for its texts.
  let words = ui.en;
  const Kind = {Label: 0, Value: 1, Field: 2, Digits: 3, Check: 4, Radio: 5, List: 6, Command: 7, Group: 8,
                Arrows: 9, Help: 10};
  const Answer = {Ok: 0, Yes: 1, No: 2, Retry: 3, Cancel: 4};
  const home = '/home/web';
  const controls = new Map();
  const queue = [];
  let look = {}, codes = {}, win = null, mark = null;
  let busy = false, quiet = false, isReady = false, pumping = false, tabTitlePending = false;
  let rest = 0, radioGroup = 0, pendingSave = null, stored = '';
  let dialogItems = [];

  const colour = (c) => '#' + c.toString(16).padStart(6, '0');
  const $ = (id) => document.getElementById(id);

  // --- events, one at a time -------------------------------------------------
  const calls = {
    command: 'web_command', arrows: 'web_arrows', enter: 'web_enter', mouse: 'web_mouse_moved',
    left: 'web_mouse_left', rest: 'web_rest_elapsed', notice: 'web_device_notice', chosen: 'web_unit_chosen',
  };
  const input = new Set(['command', 'arrows', 'enter', 'mouse', 'left']);

  function post(kind, ...args) {
    // Input that comes while the ESC is written is dropped, not queued.
    if (busy && input.has(kind)) return;
    const last = queue[queue.length - 1];
    if (kind === 'mouse' && last && last[0] === 'mouse') last[1] = args;
    else queue.push([kind, args]);
    pump();
  }

  async function pump() {
    if (pumping || !isReady) return;
    pumping = true;
    while (queue.length > 0) {
      const [kind, args] = queue.shift();
      const types = args.map((a) => (typeof a === 'string' ? 'string' : 'number'));
      try {
        await Promise.resolve(Module.ccall(calls[kind], null, types, args, {async: true}));
      } catch (error) {
        console.error(error);
      }
      await finishSave();
    }
    pumping = false;
  }

  // --- the window's elements -------------------------------------------------
  function place(el, x, y, w, h) {
    Object.assign(el.style, {left: x + 'px', top: y + 'px', width: w + 'px', height: h + 'px'});
  }

  function makeControl(id, kind, text, x, y, w, h, firstRadio) {
    let el, box = null;
    switch (kind) {
      case Kind.Field: case Kind.Digits:
        el = document.createElement('input');
        el.type = 'text';
        el.value = text;
        if (kind === Kind.Digits) {
          el.inputMode = 'numeric';
          el.addEventListener('beforeinput', (e) => { if (e.data && /\D/.test(e.data)) e.preventDefault(); });
        }
        el.addEventListener('focus', () => quiet || post('command', id, codes.en_set_focus));
        el.addEventListener('blur', () => quiet || post('command', id, codes.en_kill_focus));
        break;
      case Kind.Check: case Kind.Radio:
        box = document.createElement('label');
        el = document.createElement('input');
        el.type = kind === Kind.Check ? 'checkbox' : 'radio';
        if (kind === Kind.Radio) {
          if (firstRadio) ++radioGroup;
          el.name = 'group' + radioGroup;
        }
        box.append(el, document.createTextNode(text));
        el.addEventListener('click', () => post('command', id, codes.click));
        break;
      case Kind.List:
        el = document.createElement('select');
        h = look.list_height;
        el.addEventListener('focus', () => quiet || post('command', id, codes.cb_set_focus));
        el.addEventListener('blur', () => quiet || post('command', id, codes.cb_kill_focus));
        el.addEventListener('change', () => post('command', id, codes.sel_end_ok));
        break;
      case Kind.Command:
        el = document.createElement('button');
        el.textContent = text;
        el.addEventListener('click', () => post('command', id, codes.click));
        if (id === codes.store) {
          mark = document.createElement('span');
          mark.className = 'mark';
          mark.hidden = true;
          el.append(mark);
        }
        break;
      case Kind.Group:
        el = document.createElement('fieldset');
        el.append(document.createElement('legend'));
        el.firstChild.textContent = text;
        break;
      case Kind.Arrows:
        el = document.createElement('div');
        el.className = 'arrows';
        break;
      default:
        el = document.createElement('div');
        el.textContent = text;
    }
    el.dataset.id = id;
    el.classList.add('kind' + kind);
    const outer = box || el;
    outer.classList.add('control');
    place(outer, x, y, w, h);
    const takesFocus = [Kind.Field, Kind.Digits, Kind.Check, Kind.Radio, Kind.List, Kind.Command].includes(kind);
    if (takesFocus) {
      // The Enter rule is the module's; a button is not clicked by the browser.
      el.addEventListener('keydown', (e) => {
        if (e.key !== 'Enter') return;
        if (kind === Kind.Command) e.preventDefault();
        if (!e.repeat) post('enter', id, 0);
      });
      el.addEventListener('keyup', (e) => e.key === 'Enter' && post('enter', id, 1));
      // An enabled control takes the mouse from the window.
      outer.addEventListener('mouseenter', () => post('left'));
    } else {
      el.tabIndex = -1;
    }
    controls.set(id, {kind, el, outer});
    win.append(outer);
  }

  function addItem(id, text) {
    const option = document.createElement('option');
    option.textContent = text;
    controls.get(id).el.append(option);
    controls.get(id).el.selectedIndex = -1;
  }

  function setArrows(id, buddy, lower, upper, position, step) {
    const arrows = controls.get(id).el;
    // The arrows sit over their buddy's right end, where the desktop shortens
    // the buddy: its right-aligned text must stay clear of them.
    controls.get(buddy).el.classList.add('buddy');
    // The arrows start their buddy at their position, as the platform's do.
    controls.get(buddy).el.value = String(position);
    for (const [sign, symbol] of [[1, '\u25b2'], [-1, '\u25bc']]) {
      const button = document.createElement('button');
      button.tabIndex = -1;
      button.textContent = symbol;
      button.addEventListener('click', () => {
        if (busy) return;
        // The arrows step their buddy's integer and say so; the module judges it.
        const field = controls.get(buddy).el;
        const now = parseInt(field.value, 10);
        const next = Math.min(upper, Math.max(lower, (Number.isNaN(now) ? lower : now) + sign * step));
        field.value = String(next);
        post('arrows');
      });
      arrows.append(button);
    }
  }

  function setLook(l) {
    look = l;
    win = $('window');
    Object.assign(win.style, {width: l.width + 'px', height: l.height + 'px', fontSize: l.font_px + 'px',
                              color: colour(l.white), backgroundColor: colour(l.plain)});
    document.documentElement.style.setProperty('--grey', colour(l.grey));
    document.documentElement.style.setProperty('--white', colour(l.white));
    document.documentElement.style.setProperty('--plain', colour(l.plain));
    document.documentElement.style.setProperty('--mark', colour(l.mark));
    document.documentElement.style.setProperty('--mark-rim', colour(l.mark_rim));
    document.documentElement.style.setProperty('--mark-size', l.mark_size + 'px');
    document.documentElement.style.setProperty('--mark-inset', l.mark_inset + 'px');
    win.addEventListener('mousemove', (e) => {
      if (e.target !== win && e.target.id !== 'logo') return;
      const r = win.getBoundingClientRect();
      post('mouse', Math.floor(e.clientX - r.left), Math.floor(e.clientY - r.top));
    });
    win.addEventListener('mouseleave', () => post('left'));
    drawLogo();
  }

  function drawLogo() {
    const image = new Image();
    image.onload = () => {
      const canvas = $('logo');
      canvas.width = image.width;
      canvas.height = image.height;
      const g = canvas.getContext('2d');
      g.drawImage(image, 0, 0);
      const pixels = g.getImageData(0, 0, image.width, image.height);
      const key = [(look.key >> 16) & 255, (look.key >> 8) & 255, look.key & 255];
      for (let i = 0; i < pixels.data.length; i += 4) {
        if (pixels.data[i] === key[0] && pixels.data[i + 1] === key[1] && pixels.data[i + 2] === key[2]) {
          pixels.data[i + 3] = 0;
        }
      }
      g.putImageData(pixels, 0, 0);
      place(canvas, look.width - image.width - look.logo_right, look.logo_top, image.width, image.height);
    };
    image.src = 'logo.png';
  }

  // --- the Panel's calls -----------------------------------------------------
  const text = (s) => s.replace(/\r\n/g, '\n');
  const panel = {
    setText(id, s) {
      const c = controls.get(id);
      if (!c) return;
      if (c.kind === Kind.Field || c.kind === Kind.Digits) c.el.value = s;
      else if (c.kind === Kind.Group) c.el.firstChild.textContent = text(s);
      else if (c.kind === Kind.Check || c.kind === Kind.Radio) c.outer.lastChild.textContent = text(s);
      else c.el.textContent = text(s);
    },
    getText(id, index) {
      const c = controls.get(id);
      if (!c) return '';
      if (c.kind === Kind.List) {
        const i = index >= 0 ? index : c.el.selectedIndex;
        return i >= 0 && i < c.el.options.length ? c.el.options[i].text : '';
      }
      if (c.kind === Kind.Field || c.kind === Kind.Digits) return c.el.value;
      if (c.kind === Kind.Check || c.kind === Kind.Radio) return c.outer.lastChild.textContent;
      return c.el.textContent;
    },
    setCheck(id, on) { const c = controls.get(id); if (c) c.el.checked = !!on; },
    getCheck(id) { const c = controls.get(id); return c && c.el.checked ? 1 : 0; },
    setSelection(id, index) { const c = controls.get(id); if (c) c.el.selectedIndex = index; },
    getSelection(id) { const c = controls.get(id); return c ? c.el.selectedIndex : -1; },
    enable(id, on) {
      const c = controls.get(id);
      if (!c || c.off === !on) return;
      c.off = !on;
      if (!on && document.activeElement === c.el) {
        // The focus leaves quietly: the module has said its word.
        quiet = true;
        win.focus();
        quiet = false;
      }
      if ('disabled' in c.el && c.el.tagName !== 'DIV') c.el.disabled = !on;
      c.outer.classList.toggle('disabled', !on);
    },
    isEnabled(id) { const c = controls.get(id); return c && !c.off ? 1 : 0; },
    setFocus(id) {
      const c = controls.get(id);
      if (!c) return;
      c.el.focus();
      if (c.el.select && c.el.tagName === 'INPUT' && c.el.type === 'text') c.el.select();
    },
    setTitle(s) {
      if ($('title').textContent === s) return;
      $('title').textContent = s;
      // The tab's title costs milliseconds in the browser: it follows the
      // window's own in a task of its own, not in the middle of a readout.
      if (tabTitlePending) return;
      tabTitlePending = true;
      setTimeout(() => {
        tabTitlePending = false;
        document.title = $('title').textContent;
      });
    },
    setGrey(id, grey) {
      // Each refresh sets every label's colour: only a change is written.
      const c = controls.get(id);
      if (!c || c.grey === !!grey) return;
      c.grey = !!grey;
      c.outer.style.color = colour(grey ? look.grey : look.white);
    },
    setBusy(on) {
      busy = !!on;
      document.body.classList.toggle('busy', busy);
      if (!busy) {
        for (let i = queue.length - 1; i >= 0; --i) if (input.has(queue[i][0])) queue.splice(i, 1);
      }
    },
    markUnstored(on) { if (mark) mark.hidden = !on; },
    quit() { window.close(); },
  };

  // --- boxes and dialogs the module waits on ---------------------------------
  // The default button and the answer to a box closed without one are the
  // core's; the browser only decides, as a toolkit would, that a box without
  // OK or Cancel does not close on Escape.
  function showBox(message, caption, icon, buttons, defaultAnswer) {
    const sets = [[['ok', Answer.Ok]], [['yes', Answer.Yes], ['no', Answer.No]],
                  [['retry', Answer.Retry], ['cancel', Answer.Cancel]],
                  [['yes', Answer.Yes], ['no', Answer.No], ['cancel', Answer.Cancel]]];
    const closes = buttons !== 1;
    const dialog = document.createElement('dialog');
    dialog.className = 'box icon' + icon;
    const title = document.createElement('h2');
    title.textContent = caption;
    const body = document.createElement('p');
    body.textContent = text(message);
    const row = document.createElement('div');
    row.className = 'buttons';
    dialog.append(title, body, row);
    document.body.append(dialog);
    return new Promise((resolve) => {
      let done = false;
      const finish = (answer) => {
        if (done) return;
        done = true;
        dialog.close();
        dialog.remove();
        resolve(answer);
      };
      // Without a user activation since the last one the browser does not let
      // Escape be refused: it closes the box itself, and the module must not
      // wait on it for ever.
      dialog.addEventListener('close', () => finish(-1));
      let first = null;
      for (const [word, answer] of sets[buttons]) {
        const button = document.createElement('button');
        button.textContent = words[word];
        button.dataset.answer = word;
        button.addEventListener('click', () => finish(answer));
        row.append(button);
        if (first === null || answer === defaultAnswer) first = button;
      }
      dialog.addEventListener('cancel', (e) => {
        e.preventDefault();
        if (closes) finish(-1);
      });
      dialog.showModal();
      first.focus();
    });
  }

  function dialogFont(which) {
    const probe = document.createElement('span');
    probe.className = 'dialogfont';
    probe.textContent = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';
    document.body.append(probe);
    const r = probe.getBoundingClientRect();
    probe.remove();
    return Math.round(which === 0 ? r.width : r.height);
  }

  function dialogItem(id, kind, label, x, y, w, h, group, tab) {
    dialogItems.push({id, kind, label, x, y, w, h, group, tab});
  }

  function runDialog(caption, w, h, family, okId, cancelId, okEnabled) {
    const items = dialogItems;
    dialogItems = [];
    const dialog = document.createElement('dialog');
    dialog.className = 'defaults';
    const title = document.createElement('h2');
    title.textContent = caption;
    const area = document.createElement('div');
    area.className = 'dialogfont area';
    place(area, 0, 0, w, h);
    area.style.position = 'relative';
    dialog.append(title, area);
    document.body.append(dialog);
    const byId = new Map();
    for (const item of items) {
      let el;
      if (item.kind === 0) {
        el = document.createElement('fieldset');
        el.append(document.createElement('legend'));
        el.firstChild.textContent = item.label;
      } else if (item.kind === 1) {
        el = document.createElement('label');
        const radio = document.createElement('input');
        radio.type = 'radio';
        radio.name = 'model';
        radio.value = item.id;
        el.append(radio, document.createTextNode(item.label));
      } else if (item.kind === 2) {
        el = document.createElement('div');
        el.textContent = text(item.label);
      } else {
        el = document.createElement('button');
        el.textContent = item.label;
        if (item.kind === 4) el.classList.add('default');
      }
      el.dataset.id = item.id;
      el.classList.add('item');
      place(el, item.x, item.y, item.w, item.h);
      byId.set(item.id, el);
      area.append(el);
    }
    const checked = () => {
      const radio = area.querySelector('input:checked');
      return radio ? Number(radio.value) : 0;
    };
    const ok = byId.get(okId);
    if (ok) ok.disabled = !okEnabled;
    return new Promise((resolve) => {
      const finish = (code) => { dialog.close(); dialog.remove(); resolve(code); };
      area.addEventListener('click', (e) => {
        const item = e.target.closest('.item');
        if (!item) return;
        const id = Number(item.dataset.id);
        if (id === okId) {
          const code = Module._web_defaults_code(family, checked());
          if (code !== 0) finish(code);
        } else if (id === cancelId) {
          finish(0);
        } else if (ok) {
          ok.disabled = !Module._web_defaults_ok(family, checked());
        }
      });
      dialog.addEventListener('cancel', (e) => { e.preventDefault(); finish(0); });
      dialog.showModal();
    });
  }

  // --- files -----------------------------------------------------------------
  const pickers = () => TavioPage.usePickers && 'showOpenFilePicker' in window;

  async function chooseFile(save, filter) {
    const folder = save ? '/tmp/save' : '/tmp/open';
    if (!Module.FS.analyzePath(folder).exists) Module.FS.mkdirTree(folder);
    const types = [{description: filter, accept: {'application/octet-stream': ['.bin']}}];
    if (save) {
      let handle = null, name = 'tavio.bin';
      if (pickers()) {
        try {
          handle = await window.showSaveFilePicker({suggestedName: name, types});
          name = handle.name;
        } catch (error) {
          return null;
        }
      }
      pendingSave = {path: folder + '/' + name, handle, name};
      return pendingSave.path;
    }
    let file = null;
    if (pickers()) {
      try {
        const [handle] = await window.showOpenFilePicker({types});
        file = await handle.getFile();
      } catch (error) {
        return null;
      }
    } else {
      const chooser = $('open-file');
      chooser.value = '';
      file = await new Promise((resolve) => {
        chooser.onchange = () => resolve(chooser.files[0] || null);
        chooser.oncancel = () => resolve(null);
        chooser.click();
      });
    }
    if (file === null) return null;
    const path = folder + '/' + file.name.replace(/\//g, '_');
    Module.FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
    return path;
  }

  function download(name, bytes) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  // The module wrote the file it was given; it goes where the user chose.
  async function finishSave() {
    if (pendingSave === null) return;
    const {path, handle, name} = pendingSave;
    if (!Module.FS.analyzePath(path).exists) return;
    pendingSave = null;
    const bytes = Module.FS.readFile(path);
    Module.FS.unlink(path);
    if (handle) {
      const out = await handle.createWritable();
      await out.write(bytes);
      await out.close();
    } else {
      download(name, bytes);
    }
  }

  // --- browser storage for the backups and a kept simulated memory ------------
  function snapshot(path = home) {
    let all = '';
    for (const name of Module.FS.readdir(path)) {
      if (name === '.' || name === '..') continue;
      const full = path + '/' + name;
      const st = Module.FS.stat(full);
      all += Module.FS.isDir(st.mode) ? full + '/\n' + snapshot(full) : full + ':' + st.size + ':' + st.mtime.getTime() + '\n';
    }
    return all;
  }

  // Walking every kept backup before each report the unit is sent costs
  // milliseconds once there are many: the walk runs only after a call that
  // can change a file, anywhere, since the last one found nothing new.
  let changes = 0, checked = -1;
  function watchChanges() {
    for (const name of ['open', 'write', 'truncate', 'ftruncate', 'rename', 'unlink', 'rmdir', 'mkdir', 'mknod',
                        'symlink', 'utime', 'chmod']) {
      const call = Module.FS[name];
      Module.FS[name] = function (...args) { ++changes; return call.apply(this, args); };
    }
  }

  function storageDirty() {
    if (changes === checked) return false;
    const seen = changes;
    const dirty = snapshot() !== stored;
    if (!dirty) checked = seen;
    return dirty;
  }

  function persist() {
    return new Promise((resolve) => {
      // What the sync starts from is what is stored: a change made while it
      // runs is found and synced next time.
      const seen = changes, state = snapshot();
      Module.FS.syncfs(false, (error) => {
        if (!error) {
          stored = state;
          checked = seen;
        }
        resolve(!error);
      });
    });
  }

  function mountStorage() {
    Module.FS.mkdirTree(home);
    Module.FS.mount(Module.IDBFS, {}, home);
    Module.ENV.HOME = home;
    Module.FS.chdir(home);
    Module.addRunDependency('storage');
    watchChanges();
    Module.FS.syncfs(true, () => {
      stored = snapshot();
      Module.removeRunDependency('storage');
    });
    if (navigator.storage && navigator.storage.persist) navigator.storage.persist();
  }

  function showBackups() {
    const list = $('backup-list');
    list.replaceChildren();
    const count = Module._web_list_backups();
    if (count === 0) list.textContent = words.none;
    $('backups-dialog').showModal();
  }

  function backupRow(name, time, path) {
    const row = document.createElement('li');
    const button = document.createElement('button');
    button.textContent = words.download;
    button.addEventListener('click', () => download(name, Module.FS.readFile(path)));
    row.append(time + ' \u2014 ' + name + ' ', button);
    $('backup-list').append(row);
  }

  // --- the link's pauses --------------------------------------------------------
  // A pause is never shorter than asked and hardly longer: a timer alone
  // often wakes a few milliseconds late, so it wakes the page 4 ms before the
  // end and short turns of the event loop, which still paint and take input,
  // cover the rest.
  const turn = new MessageChannel();
  const turned = [];
  turn.port1.onmessage = () => turned.shift()();
  const nextTurn = () => new Promise((resolve) => { turned.push(resolve); turn.port2.postMessage(0); });

  async function sleep(ms) {
    TavioPage.slept += ms;
    const end = performance.now() + ms;
    if (ms > 4) await new Promise((resolve) => setTimeout(resolve, ms - 4));
    while (performance.now() < end) await nextTurn();
  }

  // The window is drawn, two frames on, before the link's work begins:
  // drawing it in software takes the machine for tens of milliseconds, which
  // would otherwise fall into the first pauses. A hidden tab draws no frame:
  // the timer then lets it go on.
  function painted() {
    return new Promise((resolve) => {
      const go = () => { clearTimeout(timer); resolve(); };
      const timer = setTimeout(go, 100);
      requestAnimationFrame(() => requestAnimationFrame(() => nextTurn().then(go)));
    }).then(() => { marks.connect = performance.now(); });
  }

  // --- start -------------------------------------------------------------------
  function pageArguments() {
    // ?simulate=BRENTA:160:0x0401&sim-unplug-after=5 is --simulate ... as on a command line.
    const args = [];
    for (const [name, value] of new URLSearchParams(location.search)) {
      args.push('--' + name);
      if (value !== '') args.push(value);
    }
    return args;
  }

  // When the window was built, when connecting began and when it was done, for the benchmark.
  const marks = {};

  function started(simulated, german, error) {
    marks.built = performance.now();
    words = german ? ui.de : ui.en;
    document.documentElement.lang = german ? 'de' : 'en';
    $('choose').textContent = words.choose;
    $('try').textContent = words.tryIt;
    $('backups').textContent = words.backups;
    $('backups-close').textContent = words.close;
    $('try').hidden = !!simulated;
    if (error) $('status').textContent = error;
  }

  function ready() {
    marks.ready = performance.now();
    isReady = true;
    document.body.classList.add('ready');
    pump();
  }

  document.addEventListener('DOMContentLoaded', () => {
    // The browser lists a unit only from inside a click.
    $('choose').addEventListener('click', () => {
      if (!Module.requestUnit) return;
      // The module connects to what was chosen, or says why it cannot.
      const chosen = () => post('chosen');
      Module.requestUnit().then(chosen, chosen);
    });
    $('backups').addEventListener('click', (e) => { e.preventDefault(); showBackups(); });
    $('backups-close').addEventListener('click', () => $('backups-dialog').close());
  });
  window.addEventListener('beforeunload', (e) => {
    if (Module._web_unstored && Module._web_unstored()) {
      e.preventDefault();
      e.returnValue = '';
    }
  });
  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  }

  return Object.assign(panel, {
    makeControl, addItem, setArrows, setLook, setCodes: (c) => { codes = c; }, showBox, dialogFont, dialogItem,
    runDialog, chooseFile, restStart(ms) { clearTimeout(rest); rest = setTimeout(() => post('rest'), ms); },
    restCancel() { clearTimeout(rest); }, storageDirty, persist, backupRow, arguments: pageArguments,
    started, ready, post, sleep, painted, usePickers: true,
    idle: () => isReady && !pumping && queue.length === 0 && !tabTitlePending, marks, slept: 0,
    // WebHID's and the simulated unit's: held in the queue until start-up is
    // done, as a desktop's notices wait for its loop.
    deviceNotice(type, path) { post('notice', type, path); },
    mountStorage,
  });
})();

var Module = {preRun: [() => TavioPage.mountStorage()]};
