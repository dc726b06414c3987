'use strict';
// The browser half of the WebHID port (src/platform/web/webhid_bridge.js)
// under plain node: a fake navigator.hid, the module's memory as two typed
// arrays, and a clock of the test's own, so every wait ends when the test says.
//   node tests/web/webhid_bridge_test.js [BRIDGE_JS]

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');

const BRIDGE = process.argv[2] || path.join(__dirname, '..', '..', 'src', 'platform', 'web', 'webhid_bridge.js');
const SOURCE = fs.readFileSync(BRIDGE, 'utf8');
const CALL_LIMIT_MS = 5000;
const VENDOR = 0x7A3E;

// Every promise callback that can run has run.
const settle = () => new Promise((resolve) => setImmediate(resolve));

class Clock {
  constructor() {
    this.now = 0;
    this.timers = new Map();
    this.next = 1;
    this.setTimeout = (fn, ms) => {
      const id = this.next++;
      this.timers.set(id, {at: this.now + Math.max(0, Number(ms) || 0), fn});
      return id;
    };
    this.clearTimeout = (id) => { this.timers.delete(id); };
  }
  async advance(ms) {
    const end = this.now + ms;
    for (;;) {
      await settle();
      let first = null;
      for (const [id, timer] of this.timers) {
        if (timer.at <= end && (first === null || timer.at < first[1].at)) first = [id, timer];
      }
      if (first === null) break;
      this.timers.delete(first[0]);
      this.now = first[1].at;
      first[1].fn();
    }
    this.now = end;
    await settle();
  }
}

class FakeDevice extends EventTarget {
  constructor(productId = 2, collections = []) {
    super();
    this.vendorId = VENDOR;
    this.productId = productId;
    this.collections = collections;
    this.opened = false;
    this.sent = [];
    this.closes = 0;
    this.openWith = null;     // null: opens; an Error: rejects with it; 'never': does not answer
    this.sendWith = null;     // the same for sendReport
    this.lateOpen = null;
  }
  open() {
    if (this.openWith === 'never') {
      return new Promise((resolve) => { this.lateOpen = () => { this.opened = true; resolve(); }; });
    }
    if (this.openWith) return Promise.reject(this.openWith);
    this.opened = true;
    return Promise.resolve();
  }
  close() {
    this.opened = false;
    ++this.closes;
    return Promise.resolve();
  }
  sendReport(reportId, data) {
    this.sent.push([reportId, Array.from(data)]);
    if (this.sendWith === 'never') return new Promise(() => {});
    if (this.sendWith) return Promise.reject(this.sendWith);
    return Promise.resolve();
  }
  // An input report whose bytes sit inside a larger buffer, as a DataView may.
  input(reportId, bytes) {
    const buffer = new Uint8Array(bytes.length + 7).fill(0xEE);
    buffer.set(bytes, 3);
    const event = new Event('inputreport');
    event.device = this;
    event.reportId = reportId;
    event.data = new DataView(buffer.buffer, 3, bytes.length);
    this.dispatchEvent(event);
  }
}

class FakeHid extends EventTarget {
  constructor() {
    super();
    this.devices = [];
    this.chosen = [];
    this.requests = [];
  }
  getDevices() { return Promise.resolve(this.devices.slice()); }
  requestDevice(options) {
    this.requests.push(options);
    return Promise.resolve(this.chosen.slice());
  }
  fire(type, device) {
    const event = new Event(type);
    event.device = device;
    this.dispatchEvent(event);
  }
}

// The bridge as the module's pre-js runs it, with what it finds around it.
function load({hid = new FakeHid(), page} = {}) {
  const clock = new Clock();
  const memory = new ArrayBuffer(1 << 16);
  const heap = {u8: new Uint8Array(memory), u32: new Uint32Array(memory)};
  const Module = {};
  const run = new Function('Module', 'navigator', 'HEAPU8', 'HEAPU32', 'setTimeout', 'clearTimeout', 'TavioPage',
                           SOURCE);
  run(Module, hid ? {hid} : {}, heap.u8, heap.u32, clock.setTimeout, clock.clearTimeout, page);
  const api = Module.tavioHid;
  const notices = [];
  api.onDeviceChange = (type, where) => notices.push([type, where]);
  return {api, hid, clock, heap, notices, Module};
}

// A granted device, listed and opened: its bridge ID.
async function opened(bridge, device = new FakeDevice()) {
  bridge.hid.devices.push(device);
  const n = await bridge.api.granted(0, 8);
  const id = bridge.heap.u32[3 * (n - 1)];
  assert.equal(await bridge.api.open(id), 0);
  return id;
}

// Tracks a promise's outcome without awaiting it.
function watch(promise) {
  const state = {done: false, value: undefined};
  promise.then((value) => { state.done = true; state.value = value; });
  return state;
}

test('send passes the report ID and the data apart, as given', async () => {
  const cases = [
    {name: 'numbered', reportId: 1, data: [0x01, 0x0B, 0x00, 0xFF]},
    {name: 'ID 2', reportId: 2, data: [0x7F]},
    {name: 'without IDs', reportId: 0, data: [0x00, 0x01, 0x02]},
  ];
  for (const c of cases) {
    const bridge = load();
    const device = new FakeDevice();
    const id = await opened(bridge, device);
    assert.equal(await bridge.api.send(id, c.reportId, new Uint8Array(c.data)), 1, c.name);
    assert.deepEqual(device.sent, [[c.reportId, c.data]], c.name);
  }
});

test('send fails without sending on a device not open or gone, and on a refused or unanswered report', async () => {
  const bridge = load();
  const device = new FakeDevice();
  bridge.hid.devices.push(device);
  await bridge.api.granted(0, 8);
  assert.equal(await bridge.api.send(1, 1, new Uint8Array([1])), 0, 'not open');
  assert.equal(await bridge.api.send(99, 1, new Uint8Array([1])), 0, 'unknown');
  assert.deepEqual(device.sent, []);

  assert.equal(await bridge.api.open(1), 0);
  device.sendWith = new DOMException('Failed to write the report.', 'NotAllowedError');
  assert.equal(await bridge.api.send(1, 1, new Uint8Array([1])), 0, 'refused');
  device.sendWith = 'never';
  const late = watch(bridge.api.send(1, 1, new Uint8Array([2])));
  await bridge.clock.advance(CALL_LIMIT_MS - 1);
  assert.equal(late.done, false, 'gave up before the call limit');
  await bridge.clock.advance(1);
  assert.deepEqual(late, {done: true, value: 0}, 'an unanswered report hangs');
  device.sendWith = null;
  bridge.hid.fire('disconnect', device);
  assert.equal(await bridge.api.send(1, 1, new Uint8Array([3])), 0, 'gone');
  assert.deepEqual(device.sent.map((s) => s[1]), [[1], [2]]);
});

test('wait ends at its time-out when nothing comes', async () => {
  for (const ms of [1, 300, 2000]) {
    const bridge = load();
    const id = await opened(bridge);
    const wait = watch(bridge.api.wait(id, ms));
    await bridge.clock.advance(ms - 1);
    assert.equal(wait.done, false, 'a wait of ' + ms + ' ms ended early');
    await bridge.clock.advance(1);
    assert.equal(wait.done, true, 'a wait of ' + ms + ' ms did not end at its time-out');
    assert.equal(bridge.api.inputLength(id), -1);
    assert.equal(bridge.clock.timers.size, 0, 'a timer was left behind');
  }
});

test('wait ends at once when a report comes, and the report is taken whole', async () => {
  const bridge = load();
  const device = new FakeDevice();
  const id = await opened(bridge, device);
  const wait = watch(bridge.api.wait(id, 1000));
  await bridge.clock.advance(10);
  assert.equal(wait.done, false);
  device.input(2, [0x02, 0x0B, 0x00, 0x5A]);
  await settle();
  assert.equal(wait.done, true, 'a report did not end the wait');
  assert.equal(bridge.clock.timers.size, 0, 'the time-out stayed armed');
  assert.equal(bridge.api.inputLength(id), 4);
  bridge.heap.u8.fill(0xCC, 100, 106);
  assert.equal(bridge.api.take(id, 101), 2);
  assert.deepEqual(Array.from(bridge.heap.u8.subarray(100, 106)), [0xCC, 0x02, 0x0B, 0x00, 0x5A, 0xCC]);
  assert.equal(bridge.api.inputLength(id), -1);
  // Queued already, or gone: no wait at all.
  device.input(0, [7]);
  assert.equal(watch(bridge.api.wait(id, 1000)).done, false);
  await settle();
  assert.equal(bridge.clock.timers.size, 0, 'waited with a report queued');
});

test('a disconnect passes on, marks the device gone and ends a pending wait', async () => {
  const bridge = load();
  const device = new FakeDevice();
  const id = await opened(bridge, device);
  const wait = watch(bridge.api.wait(id, 5000));
  await bridge.clock.advance(100);
  assert.equal(bridge.api.gone(id), 0);
  bridge.hid.fire('disconnect', device);
  await settle();
  assert.equal(wait.done, true, 'the wait outlived the disconnect');
  assert.equal(bridge.api.gone(id), 1);
  assert.deepEqual(bridge.notices, [['disconnect', 'webhid:' + id]]);
  const after = watch(bridge.api.wait(id, 5000));
  await settle();
  assert.equal(after.done, true, 'a wait on a gone device waited');
});

test('connect passes on; a replugged unit is a new device', async () => {
  const bridge = load();
  const first = new FakeDevice();
  const id = await opened(bridge, first);
  bridge.hid.fire('disconnect', first);
  const again = new FakeDevice();
  bridge.hid.fire('connect', again);
  bridge.hid.fire('connect', again);
  assert.deepEqual(bridge.notices, [['disconnect', 'webhid:' + id], ['connect', 'webhid:' + (id + 1)],
                                    ['connect', 'webhid:' + (id + 1)]]);
  assert.equal(bridge.api.gone(id), 1);
});

test('without a hook the notices go to the page', async () => {
  const seen = [];
  const bridge = load({page: {deviceNotice: (...args) => seen.push(args)}});
  bridge.api.onDeviceChange = null;
  const device = new FakeDevice();
  bridge.hid.fire('connect', device);
  bridge.hid.fire('disconnect', device);
  assert.deepEqual(seen, [['connect', 'webhid:1'], ['disconnect', 'webhid:1']]);
});

test('open: refused is 1, any other failure 2, and an open that never answers 2 at the call limit', async () => {
  const cases = [
    {name: 'refused permission', error: new DOMException('Failed to open the device.', 'NotAllowedError'), result: 1},
    {name: 'insecure context', error: new DOMException('Access denied.', 'SecurityError'), result: 1},
    {name: 'opened elsewhere', error: new DOMException('The device is busy.', 'InvalidStateError'), result: 2},
    {name: 'network', error: new DOMException('Unable to open.', 'NetworkError'), result: 2},
    {name: 'a plain error', error: new TypeError('no'), result: 2},
    {name: 'no value', error: undefined, result: 2},
  ];
  for (const c of cases) {
    const bridge = load();
    const device = new FakeDevice();
    device.open = () => Promise.reject(c.error);
    bridge.hid.devices.push(device);
    await bridge.api.granted(0, 8);
    assert.equal(await bridge.api.open(1), c.result, c.name);
    assert.equal(bridge.api.gone(1), 1, c.name + ': counted as open');
  }

  const bridge = load();
  const device = new FakeDevice();
  device.openWith = 'never';
  bridge.hid.devices.push(device);
  await bridge.api.granted(0, 8);
  const open = watch(bridge.api.open(1));
  await bridge.clock.advance(CALL_LIMIT_MS - 1);
  assert.equal(open.done, false, 'gave up before the call limit');
  await bridge.clock.advance(1);
  assert.deepEqual(open, {done: true, value: 2}, 'an open that never answers hangs');
  assert.equal(bridge.api.gone(1), 1);
  // Should it answer after all, the device is not left open.
  device.lateOpen();
  await settle();
  assert.equal(device.closes, 1);

  assert.equal(await bridge.api.open(42), 2, 'an unknown device');
});

test('open of an open device starts its queue afresh; of a gone one fails', async () => {
  const bridge = load();
  const device = new FakeDevice();
  const id = await opened(bridge, device);
  device.input(2, [1]);
  device.opened = true;
  assert.equal(await bridge.api.open(id), 0);
  assert.equal(bridge.api.inputLength(id), -1);
  device.input(2, [2]);
  bridge.api.take(id, 0);
  assert.equal(bridge.api.inputLength(id), -1, 'each report queued twice');
  bridge.hid.fire('disconnect', device);
  assert.equal(await bridge.api.open(id), 2);
});

test('the queue keeps the newest 64 reports', async () => {
  const bridge = load();
  const device = new FakeDevice();
  const id = await opened(bridge, device);
  for (let i = 0; i < 70; ++i) device.input(2, [i, i + 1]);
  const taken = [];
  while (bridge.api.inputLength(id) >= 0) {
    assert.equal(bridge.api.take(id, 0), 2);
    taken.push(bridge.heap.u8[0]);
  }
  assert.deepEqual(taken, Array.from({length: 64}, (_, i) => i + 6));
});

test('reports walks nested collections', async () => {
  const items = (...pairs) => pairs.map(([reportSize, reportCount]) => ({reportSize, reportCount}));
  const collections = [
    {inputReports: [{reportId: 2, items: items([8, 63])}],
     outputReports: [{reportId: 1, items: items([8, 32], [8, 31])}],
     children: [
       {featureReports: [{reportId: 3, items: items([1, 8], [4, 2])}],
        children: [{inputReports: [{reportId: 4, items: items([16, 3])}]}]},
       {outputReports: [{reportId: 5}]},
     ]},
    {inputReports: [{reportId: 0, items: items([8, 64])}]},
  ];
  const bridge = load();
  const id = await opened(bridge, new FakeDevice(2, collections));
  const out = 400;
  assert.equal(bridge.api.reports(id, out, 16), 6);
  const rows = Array.from(bridge.heap.u32.subarray(out / 4, out / 4 + 18));
  assert.deepEqual(rows, [0, 2, 504, 1, 1, 504, 2, 3, 16, 0, 4, 48, 1, 5, 0, 0, 0, 512]);
  assert.equal(bridge.api.reports(id, out, 5), -1, 'too many for the table');
  assert.equal(bridge.api.reports(77, out, 16), -1, 'an unknown device');
});

test('granted lists vendor and product; requestUnit asks for the unit filters and connects nothing', async () => {
  const bridge = load();
  bridge.hid.devices.push(new FakeDevice(1), new FakeDevice(2), new FakeDevice(2));
  assert.equal(await bridge.api.granted(64, 2), 2);
  assert.deepEqual(Array.from(bridge.heap.u32.subarray(16, 22)), [1, VENDOR, 1, 2, VENDOR, 2]);
  assert.equal(await load({hid: null}).api.granted(64, 2), -1, 'without WebHID');

  bridge.api.setFilters(VENDOR, [1, 2]);
  bridge.hid.chosen = [bridge.hid.devices[1]];
  assert.equal(await bridge.Module.requestUnit(), 1);
  assert.deepEqual(bridge.hid.requests,
                   [{filters: [{vendorId: VENDOR, productId: 1}, {vendorId: VENDOR, productId: 2}]}]);
  // The page connects after the chooser, not on a notice: a plug-in that
  // cannot be opened is passed over without a word.
  assert.deepEqual(bridge.notices, []);
  bridge.hid.chosen = [];
  assert.equal(await bridge.Module.requestUnit(), 0, 'dismissed');
});

test('close stops the queue, ends a pending wait and closes the device', async () => {
  const bridge = load();
  const device = new FakeDevice();
  const id = await opened(bridge, device);
  const wait = watch(bridge.api.wait(id, 5000));
  await bridge.api.close(id);
  await settle();
  assert.equal(wait.done, true, 'the wait outlived the close');
  assert.equal(device.closes, 1);
  assert.equal(bridge.api.gone(id), 1);
  device.input(2, [1]);
  assert.equal(bridge.api.inputLength(id), -1, 'queued after the close');
});
