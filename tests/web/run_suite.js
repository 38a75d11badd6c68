// Runs one Qt Test suite built for WebAssembly under node:
//   node run_suite.js <suite.js> [Qt Test arguments]
// Qt reads the locale from navigator.languages, which node 20 does not have; the suites pin
// the locale they test in anyway.
'use strict';
const path = require('path');

globalThis.navigator ??= { languages: ['en-US'] };
const makeSuite = require(path.resolve(process.argv[2]));
makeSuite({ arguments: process.argv.slice(3) }).catch(error => {
    console.error(error);
    process.exitCode = 1;
});
