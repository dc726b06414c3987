// The test programs read XDG_DATA_HOME, HOME and the like: under node they
// get the process's own environment instead of emscripten's made-up one.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  for (var name in process.env) ENV[name] = process.env[name];
});
