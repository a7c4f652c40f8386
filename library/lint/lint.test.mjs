// The gate's own faults: a finding that slips through, an excuse that
// outlives its need, or an exceptions file it misreads.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, mkdirSync, writeFileSync, rmSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { lint, lintPages, parseExceptions } from './lint.mjs';

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

// Single pages, as quillery-library check hands them over.
function pages(bodies) {
  const root = mkdtempSync(join(tmpdir(), 'quillery-pages-'));
  const paths = Object.entries(bodies).map(([name, body]) => {
    const path = join(root, `${name}.html`);
    writeFileSync(path, `<!DOCTYPE html><html lang="en"><head></head><body>${body}</body></html>`);
    return path;
  });
  return { root, paths };
}

test('single pages: findings by readable program name, excuses applied, an unreadable page said', () => {
  const { root, paths } = pages({ clean: '<p>hi</p>', flex: '<p style="display:flex">hi</p><video src="v.mp4"></video>' });
  try {
    const exceptions = parseExceptions(`${BODY}\nborder-radius | outlook.windows | unused here`, 'x.txt');
    const [clean, flex, missing] = lintPages([...paths, join(root, 'missing.html')], exceptions);
    assert.deepEqual(clean, { page: paths[0], unsupported: [] });
    assert.equal(flex.page, paths[1]);
    assert.deepEqual(flex.unsupported.map((f) => f.feature), ['display:flex', '<video> element']);
    assert.deepEqual(flex.unsupported[0].clients, ['Outlook for Windows']);
    assert.ok(flex.unsupported[1].clients.includes('Gmail (webmail)'), JSON.stringify(flex));
    assert.ok(!flex.unsupported[1].clients.includes('Apple Mail for macOS'), JSON.stringify(flex));
    assert.ok(!flex.unsupported.some((f) => f.feature === '<body> element'));
    assert.match(missing.error, /ENOENT/);
    assert.equal(missing.unsupported, undefined);
  } finally {
    rmSync(root, { recursive: true, force: true });
  }
});

test('--pages prints one JSON line per page in order; an excuse no page needs is no fault', () => {
  const script = join(dirname(fileURLToPath(import.meta.url)), 'lint.mjs');
  const { root, paths } = pages({ 'quote " and\nline': '<p>hi</p>', bad: '<p style="position:absolute">hi</p>' });
  try {
    const run = (args) => spawnSync(process.execPath, [script, '--pages', ...args], { encoding: 'utf8' });
    const both = run(paths);
    assert.equal(both.status, 1, both.stderr);
    const lines = both.stdout.trimEnd().split('\n').map((l) => JSON.parse(l));
    assert.deepEqual(lines.map((l) => l.page), paths);
    assert.deepEqual(lines[0].unsupported, []);
    assert.equal(lines[1].unsupported[0].feature, 'position');
    const clean = run(paths.slice(0, 1));
    assert.equal(clean.status, 0, clean.stderr);
    const none = run([]);
    assert.equal(none.status, 2);
    assert.equal(none.stdout, '');
  } finally {
    rmSync(root, { recursive: true, force: true });
  }
});
