// Run before each test program under node.
// This emscripten fetches the .wasm whenever fetch exists, and node's fetch
// takes no file paths: without it, node reads the file itself.
if (typeof process === 'object' && typeof globalThis.fetch === 'function') delete globalThis.fetch;
// The tests read XDG_DATA_HOME, HOME and the like: they get the process's own
// environment instead of emscripten's made-up one.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  for (var name in process.env) ENV[name] = process.env[name];
});
