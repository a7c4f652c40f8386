// The gate's own faults: a finding that slips through, an excuse that
// outlives its need, or an exceptions file it misreads.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, mkdirSync, writeFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { lint, parseExceptions } from './lint.mjs';

function library(pages) {
  const root = mkdtempSync(join(tmpdir(), 'quillery-lint-'));
  for (const [name, body] of Object.entries(pages)) {
    mkdirSync(join(root, 'Category', name), { recursive: true });
    writeFileSync(join(root, 'Category', name, 'message.html'),
                  `<!DOCTYPE html><html lang="en"><head></head><body>${body}</body></html>`);
  }
  return root;
}

const BODY = '<body> element | yahoo.ios yahoo.android | kept on the outer table';

const cases = [
  { name: 'a feature Gmail lacks fails, naming it and the program',
    pages: { Plain: '<p>hi</p>', Bad: '<p style="position:absolute">hi</p>' },
    exceptions: BODY, ok: false,
    expect: [/^FAIL Category\/Bad: unsupported: position in gmail\.desktop-webmail; .*position in outlook\.windows/m,
             /^ok {3}Category\/Plain: excused: <body> element$/m] },
  { name: 'an excuse for one program does not cover another',
    pages: { Bad: '<p style="position:absolute">hi</p>' },
    exceptions: `${BODY}\nposition | outlook.windows | the test says so`, ok: false,
    expect: [/^FAIL Category\/Bad: unsupported: position in gmail\.desktop-webmail; position in gmail\.mobile-webmail; position in gmail\.ios; position in gmail\.android; excused: <body> element, position$/m] },
  { name: 'an excused feature passes',
    pages: { Flex: '<p style="display:flex">hi</p>' },
    exceptions: `${BODY}\ndisplay:flex | outlook.windows | the test says so`, ok: true,
    expect: [/^ok {3}Category\/Flex: excused: <body> element, display:flex$/m] },
  { name: 'an excuse no template needs fails',
    pages: { Plain: '<p>hi</p>' },
    exceptions: `${BODY}\ndisplay:flex | outlook.windows | no longer used`, ok: false,
    expect: [/^FAIL exceptions\.txt:2: no template needs "display:flex" in outlook\.windows any more/m] },
  { name: 'a folder without templates fails',
    pages: {}, exceptions: '', ok: false, expect: [/no \*\/\*\/message\.html to lint/] },
];

for (const c of cases) {
  test(c.name, () => {
    const root = library(c.pages);
    try {
      const { ok, lines } = lint(root, parseExceptions(c.exceptions, 'exceptions.txt'));
      const report = lines.join('\n');
      assert.equal(ok, c.ok, report);
      for (const pattern of c.expect) assert.match(report, pattern);
    } finally {
      rmSync(root, { recursive: true, force: true });
    }
  });
}

test('an exceptions entry needs a reason and a program we check', () => {
  assert.throws(() => parseExceptions('# comment\n\n@media | outlook.windows |', 'x.txt'),
                /^Error: x\.txt:3: an entry is "feature \| mail programs \| why", with a reason$/);
  assert.throws(() => parseExceptions('@media | outlook.macos | why', 'x.txt'),
                /x\.txt:1: "outlook\.macos" is not a mail program we check/);
  assert.equal(parseExceptions('@media | outlook.windows thunderbird.macos | why', 'x.txt').length, 2);
});
