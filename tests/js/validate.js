// Runs the Khronos glTF validator on each file named on the command line
// (.glb, or .gltf with the files it refers to beside it) and prints one line
// per file: "<file> errors=N warnings=N infos=N", followed by the messages of
// every error and warning. Exits 1 when any file has an error or cannot be
// read.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 0,
    externalResourceFunction: (uri) => new Promise((resolve, reject) => {
      fs.readFile(path.resolve(path.dirname(file), decodeURIComponent(uri)),
                  (err, data) => (err ? reject(err.toString()) : resolve(new Uint8Array(data))));
    }),
  });
  const issues = report.issues;
  console.log(`${file} errors=${issues.numErrors} warnings=${issues.numWarnings} ` +
              `infos=${issues.numInfos}`);
  for (const message of issues.messages) {
    if (message.severity <= 1) {
      console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} ` +
                  `${message.pointer || ''}: ${message.message}`);
    }
  }
  return issues.numErrors === 0;
}

(async () => {
  let ok = true;
  for (const file of process.argv.slice(2)) {
    try {
      ok = (await validate(file)) && ok;
    } catch (error) {
      console.log(`${file} unreadable: ${error}`);
      ok = false;
    }
  }
  process.exit(ok ? 0 : 1);
})();
