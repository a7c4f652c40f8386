// Prints, one JSON line per page, what the template linter finds in it before
// the exceptions: {"page":P,"unsupported":{"feature":["client",...]}} or
// {"page":P,"error":"..."}. The matcher's test compares its own findings.
//
//   node rawlint.mjs LINTER_FOLDER PAGE.html...

import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [linterFolder, ...pages] = process.argv.slice(2);
const { unsupported } = await import(pathToFileURL(join(linterFolder, 'lint.mjs')).href);
for (const page of pages) {
  try {
    const found = {};
    for (const [feature, clients] of unsupported(readFileSync(page, 'utf8'))) found[feature] = [...clients].sort();
    console.log(JSON.stringify({ page, unsupported: found }));
  } catch (error) {
    console.log(JSON.stringify({ page, error: error.message }));
  }
}
