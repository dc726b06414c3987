// The browser half of the WebHID port: navigator.hid passed through, one
// function per step the C++ side takes. Decisions stay in C++; here is only
// what needs the browser: the device table, each device's queue of input
// reports, the waits, and the connect/disconnect hook the page sets.
Module['tavioHid'] = (function () {
  // As many reports as hidraw keeps for a reader that lags; older ones go.
  var kQueueLimit = 64;
  // A browser call that has not answered by then has failed: nothing here
  // may hang the page.
  var kCallLimitMs = 5000;
  var hid = typeof navigator !== 'undefined' ? navigator.hid : undefined;
  var entries = new Map();  // id -> {device, queue, gone, open, wake, listener}
  var ids = new Map();      // HIDDevice -> id; a replugged unit is a new object
  var nextId = 1;
  var filters = [];
  var api = {
    // function (type, path): type 'connect' or 'disconnect', path
    // 'webhid:ID'; null: TavioPage.deviceNotice(type, path) is called.
    onDeviceChange: null,
  };

  function idOf(device) {
    var id = ids.get(device);
    if (id === undefined) {
      id = nextId++;
      ids.set(device, id);
      entries.set(id, {device: device, queue: [], gone: false, open: false, wake: null, listener: null});
    }
    return id;
  }
  function wake(entry) {
    var w = entry.wake;
    entry.wake = null;
    if (w) w();
  }
  // The page's own entry point unless a hook is set instead.
  function notify(type, id) {
    var path = 'webhid:' + id;
    if (typeof api.onDeviceChange === 'function') {
      api.onDeviceChange(type, path);
    } else if (typeof TavioPage !== 'undefined' && TavioPage.deviceNotice) {
      TavioPage.deviceNotice(type, path);
    }
  }
  // The promise's outcome, or 'late' once kCallLimitMs passed.
  function limited(promise) {
    var timer;
    var late = new Promise(function (resolve) { timer = setTimeout(function () { resolve('late'); }, kCallLimitMs); });
    return Promise.race([promise, late]).finally(function () { clearTimeout(timer); });
  }

  if (hid) {
    hid.addEventListener('connect', function (e) { notify('connect', idOf(e.device)); });
    hid.addEventListener('disconnect', function (e) {
      var id = idOf(e.device);
      var entry = entries.get(id);
      entry.gone = true;
      wake(entry);
      notify('disconnect', id);
    });
  }

  api.setFilters = function (vendorId, productIds) {
    filters = productIds.map(function (p) { return {vendorId: vendorId, productId: p}; });
  };
  // Asks the user to choose a unit; call it from a user gesture. Resolves to
  // how many were chosen; the caller then connects, since a chosen unit that
  // cannot be opened must be explained, where a plugged-in one is passed over.
  api.requestUnit = async function () {
    if (!hid) return 0;
    var chosen = await hid.requestDevice({filters: filters});
    chosen.forEach(idOf);
    return chosen.length;
  };
  // Writes id, vendor, product per device at out (u32); -1 without WebHID.
  api.granted = async function (out, capacity) {
    if (!hid) return -1;
    var devices = await hid.getDevices();
    var n = 0;
    devices.forEach(function (d) {
      if (n >= capacity) return;
      HEAPU32[(out >> 2) + 3 * n] = idOf(d);
      HEAPU32[(out >> 2) + 3 * n + 1] = d.vendorId;
      HEAPU32[(out >> 2) + 3 * n + 2] = d.productId;
      ++n;
    });
    return n;
  };
  // 0 opened, 1 refused by the browser, 2 failed.
  api.open = async function (id) {
    var entry = entries.get(id);
    if (!entry || entry.gone) return 2;
    try {
      if (!entry.device.opened) {
        var opening = entry.device.open();
        if (await limited(opening) === 'late') {
          opening.then(function () { entry.device.close(); }, function () {});
          return 2;
        }
      }
    } catch (e) {
      return e && (e.name === 'NotAllowedError' || e.name === 'SecurityError') ? 1 : 2;
    }
    entry.queue = [];
    // Opened again without a close: one listener, or every report comes twice.
    if (entry.listener) entry.device.removeEventListener('inputreport', entry.listener);
    entry.listener = function (e) {
      var data = new Uint8Array(e.data.buffer, e.data.byteOffset, e.data.byteLength).slice();
      entry.queue.push({reportId: e.reportId, data: data});
      if (entry.queue.length > kQueueLimit) entry.queue.shift();
      wake(entry);
    };
    entry.device.addEventListener('inputreport', entry.listener);
    entry.open = true;
    return 0;
  };
  // Writes kind (0 input, 1 output, 2 feature), report ID and bits per report
  // of every collection, children included; -1 when they do not fit.
  api.reports = function (id, out, capacity) {
    var entry = entries.get(id);
    if (!entry) return -1;
    var n = 0;
    function add(kind, reports) {
      (reports || []).forEach(function (r) {
        var bits = 0;
        (r.items || []).forEach(function (item) { bits += item.reportSize * item.reportCount; });
        if (n < capacity) {
          HEAPU32[(out >> 2) + 3 * n] = kind;
          HEAPU32[(out >> 2) + 3 * n + 1] = r.reportId;
          HEAPU32[(out >> 2) + 3 * n + 2] = Math.min(bits, 0xFFFFFFFF);
        }
        ++n;
      });
    }
    function walk(collections) {
      (collections || []).forEach(function (c) {
        add(0, c.inputReports);
        add(1, c.outputReports);
        add(2, c.featureReports);
        walk(c.children);
      });
    }
    walk(entry.device.collections);
    return n <= capacity ? n : -1;
  };
  // 1 sent, 0 not.
  api.send = async function (id, reportId, data) {
    var entry = entries.get(id);
    if (!entry || !entry.open || entry.gone) return 0;
    try {
      return await limited(entry.device.sendReport(reportId, data)) === 'late' ? 0 : 1;
    } catch (e) {
      return 0;
    }
  };
  // The length of the oldest queued report's data, -1 when none.
  api.inputLength = function (id) {
    var entry = entries.get(id);
    return entry && entry.queue.length ? entry.queue[0].data.length : -1;
  };
  // Copies the oldest queued report's data to `to` and returns its ID.
  api.take = function (id, to) {
    var report = entries.get(id).queue.shift();
    HEAPU8.set(report.data, to);
    return report.reportId;
  };
  api.gone = function (id) {
    var entry = entries.get(id);
    return !entry || entry.gone || !entry.open ? 1 : 0;
  };
  api.wait = function (id, ms) {
    var entry = entries.get(id);
    if (!entry || entry.gone || !entry.open || entry.queue.length) return Promise.resolve();
    return new Promise(function (resolve) {
      var timer = setTimeout(function () { entry.wake = null; resolve(); }, ms);
      entry.wake = function () { clearTimeout(timer); resolve(); };
    });
  };
  api.close = async function (id) {
    var entry = entries.get(id);
    if (!entry || !entry.open) return;
    entry.device.removeEventListener('inputreport', entry.listener);
    entry.open = false;
    entry.queue = [];
    wake(entry);
    try {
      if (!entry.gone && entry.device.opened) await limited(entry.device.close());
    } catch (e) {
      // A unit that vanished meanwhile is closed already.
    }
  };
  return api;
})();
// The page's "Choose unit..." button asks through this.
Module['requestUnit'] = function () { return Module['tavioHid'].requestUnit(); };
