// Lints built templates against the mail programs we support, with the
// caniemail data, and fails on anything unsupported there that the exceptions
// file does not excuse. Conditional comments are invisible to it: what only
// Outlook for Windows reads is checked by the Outlook model instead.
//
//   node lint.mjs SOURCES_FOLDER [EXCEPTIONS_FILE]
//   node lint.mjs --pages PAGE.html...
//
// SOURCES_FOLDER holds one folder per category with one folder per template,
// each with a message.html. It gates the shipped set, so an exception that no
// template needs any more fails it too.
//
// --pages lints single pages (the quillery-library check of any library) with
// the same mail programs and the exceptions.txt beside this script; an
// exception no page needs is no fault there. It prints one JSON object a
// line, one per PAGE in the order given, and nothing else on stdout:
//
//   {"page":"PAGE","unsupported":[{"feature":"display:flex","clients":["Gmail (webmail)",...]}]}
//   {"page":"PAGE","error":"why the page could not be linted"}
//
// "unsupported" lists what is not excused, empty when nothing; the clients
// are readable names in the order of CLIENTS. Exit status: 0 when no page has
// a finding or an error, 1 when one has, 2 on wrong usage; on a failure
// before any page (the exceptions unreadable, the linter not installed) it
// prints "error: ..." on stderr and exits 1 with no line on stdout.

import { readFileSync, readdirSync, existsSync, statSync } from 'node:fs';
import { join, dirname, relative } from 'node:path';
import { fileURLToPath } from 'node:url';

let DoIUseEmail;
try {
  ({ DoIUseEmail } = await import('@jsx-email/doiuse-email'));
} catch {
  console.error(`error: the linter is not installed in ${dirname(fileURLToPath(import.meta.url))}/node_modules;`
                + ' scripts/install-deps installs it');
  process.exit(1);
}

export const CLIENTS = [
  'gmail.desktop-webmail', 'gmail.mobile-webmail', 'gmail.ios', 'gmail.android',
  'outlook.windows', 'outlook.outlook-com',
  'apple-mail.macos', 'apple-mail.ios',
  'yahoo.desktop-webmail', 'yahoo.ios', 'yahoo.android',
  'samsung-email.android',
  'thunderbird.macos',
];

// How a report names them to a template author.
export const CLIENT_NAMES = {
  'gmail.desktop-webmail': 'Gmail (webmail)',
  'gmail.mobile-webmail': 'Gmail (mobile webmail)',
  'gmail.ios': 'Gmail for iOS',
  'gmail.android': 'Gmail for Android',
  'outlook.windows': 'Outlook for Windows',
  'outlook.outlook-com': 'Outlook.com',
  'apple-mail.macos': 'Apple Mail for macOS',
  'apple-mail.ios': 'Apple Mail for iOS',
  'yahoo.desktop-webmail': 'Yahoo Mail (webmail)',
  'yahoo.ios': 'Yahoo Mail for iOS',
  'yahoo.android': 'Yahoo Mail for Android',
  'samsung-email.android': 'Samsung Email for Android',
  'thunderbird.macos': 'Thunderbird for macOS',
};

// The package's data has Outlook.com but its list of client names leaves it
// out, so the name is added after the ones it accepts.
const LISTED = CLIENTS.filter((c) => c !== 'outlook.outlook-com');

export function parseExceptions(text, path) {
  const entries = [];
  text.split('\n').forEach((line, i) => {
    const trimmed = line.trim();
    if (trimmed === '' || trimmed.startsWith('#')) return;
    const [feature, clients, reason] = trimmed.split('|').map((s) => (s ?? '').trim());
    const where = `${path}:${i + 1}`;
    if (!feature || !clients || !reason) {
      throw new Error(`${where}: an entry is "feature | mail programs | why", with a reason`);
    }
    for (const client of clients.split(/\s+/)) {
      if (!CLIENTS.includes(client)) throw new Error(`${where}: "${client}" is not a mail program we check`);
      entries.push({ feature, client, reason, where, used: false });
    }
  });
  return entries;
}

const FINDING = /^`(.+)` is not supported by `(.+)`$/;

// Unsupported features of one page, as a map "feature" -> Set of clients.
export function unsupported(html) {
  const linter = new DoIUseEmail({ emailClients: LISTED });
  linter.emailClients.push('outlook.outlook-com');
  const found = new Map();
  for (const message of linter.check(html).errors ?? []) {
    const match = FINDING.exec(message);
    if (!match) throw new Error(`unexpected linter message: ${message}`);
    if (!found.has(match[1])) found.set(match[1], new Set());
    found.get(match[1]).add(match[2]);
  }
  return found;
}

export function templates(sources) {
  const pages = [];
  for (const category of readdirSync(sources).sort()) {
    const folder = join(sources, category);
    if (!statSync(folder).isDirectory()) continue;
    for (const name of readdirSync(folder).sort()) {
      const page = join(folder, name, 'message.html');
      if (existsSync(page)) pages.push(page);
    }
  }
  return pages;
}

// What of one page the exceptions do not excuse, as a map "feature" -> Set of
// clients, and the features they do; marks the entries it used.
export function judge(html, exceptions) {
  const failed = new Map();
  const excused = new Set();
  for (const [feature, clients] of unsupported(html)) {
    for (const client of clients) {
      const entry = exceptions.find((e) => e.feature === feature && e.client === client);
      if (entry) {
        entry.used = true;
        excused.add(feature);
      } else {
        if (!failed.has(feature)) failed.set(feature, new Set());
        failed.get(feature).add(client);
      }
    }
  }
  return { failed, excused };
}

// Lints every template; returns the report lines and whether all passed.
export function lint(sources, exceptions) {
  const lines = [];
  let ok = true;
  const pages = templates(sources);
  if (pages.length === 0) {
    return { ok: false, lines: [`${sources}: no */*/message.html to lint`] };
  }
  for (const page of pages) {
    const name = relative(sources, dirname(page));
    const { failed, excused } = judge(readFileSync(page, 'utf8'), exceptions);
    const failures = [...failed].flatMap(([feature, clients]) => [...clients].map((c) => `${feature} in ${c}`));
    ok &&= failures.length === 0;
    lines.push(`${failures.length ? 'FAIL' : 'ok  '} ${name}: `
               + (failures.length ? `unsupported: ${failures.join('; ')}; ` : '')
               + `excused: ${[...excused].join(', ') || 'nothing'}`);
  }
  for (const entry of exceptions.filter((e) => !e.used)) {
    ok = false;
    lines.push(`FAIL ${entry.where}: no template needs "${entry.feature}" in ${entry.client} any more; remove it`);
  }
  return { ok, lines };
}

// One report object per page, as --pages prints them.
export function lintPages(pages, exceptions) {
  return pages.map((page) => {
    try {
      const { failed } = judge(readFileSync(page, 'utf8'), exceptions);
      const found = [...failed].map(([feature, clients]) => ({
        feature,
        clients: CLIENTS.filter((c) => clients.has(c)).map((c) => CLIENT_NAMES[c]),
      }));
      return { page, unsupported: found };
    } catch (error) {
      return { page, error: error.message };
    }
  });
}

function mainPages(pages) {
  if (pages.length === 0) {
    console.error('usage: node lint.mjs --pages PAGE.html...');
    return 2;
  }
  const exceptionsPath = join(dirname(fileURLToPath(import.meta.url)), 'exceptions.txt');
  try {
    const exceptions = parseExceptions(readFileSync(exceptionsPath, 'utf8'), exceptionsPath);
    const reports = lintPages(pages, exceptions);
    process.stdout.write(reports.map((r) => `${JSON.stringify(r)}\n`).join(''));
    return reports.every((r) => !r.error && r.unsupported.length === 0) ? 0 : 1;
  } catch (error) {
    console.error(`error: ${error.message}`);
    return 1;
  }
}

function main(argv) {
  if (argv[0] === '--pages') return mainPages(argv.slice(1));
  if (argv.length < 1 || argv.length > 2) {
    console.error('usage: node lint.mjs SOURCES_FOLDER [EXCEPTIONS_FILE] | --pages PAGE.html...');
    return 2;
  }
  const exceptionsPath = argv[1] ?? join(dirname(fileURLToPath(import.meta.url)), 'exceptions.txt');
  try {
    const exceptions = parseExceptions(readFileSync(exceptionsPath, 'utf8'), exceptionsPath);
    const { ok, lines } = lint(argv[0], exceptions);
    console.log(lines.join('\n'));
    console.log(ok ? 'every template passes' : 'some templates use what a supported mail program lacks');
    return ok ? 0 : 1;
  } catch (error) {
    console.error(`error: ${error.message}`);
    return 1;
  }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) process.exitCode = main(process.argv.slice(2));
