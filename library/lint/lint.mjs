// Lints built templates against the mail programs we support, with the
// caniemail data, and fails on anything unsupported there that the exceptions
// file does not excuse. Conditional comments are invisible to it: what only
// Outlook for Windows reads is checked by the Outlook model instead.
//
//   node lint.mjs SOURCES_FOLDER [EXCEPTIONS_FILE]
//
// SOURCES_FOLDER holds one folder per category with one folder per template,
// each with a message.html.

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
    const found = unsupported(readFileSync(page, 'utf8'));
    const failed = [];
    const excused = [];
    for (const [feature, clients] of found) {
      for (const client of clients) {
        const entry = exceptions.find((e) => e.feature === feature && e.client === client);
        if (entry) entry.used = true;
        (entry ? excused : failed).push(`${feature} in ${client}`);
      }
    }
    ok &&= failed.length === 0;
    const features = [...new Set(excused.map((e) => e.split(' in ')[0]))];
    lines.push(`${failed.length ? 'FAIL' : 'ok  '} ${name}: `
               + (failed.length ? `unsupported: ${failed.join('; ')}; ` : '')
               + `excused: ${features.join(', ') || 'nothing'}`);
  }
  for (const entry of exceptions.filter((e) => !e.used)) {
    ok = false;
    lines.push(`FAIL ${entry.where}: no template needs "${entry.feature}" in ${entry.client} any more; remove it`);
  }
  return { ok, lines };
}

function main(argv) {
  if (argv.length < 1 || argv.length > 2) {
    console.error('usage: node lint.mjs SOURCES_FOLDER [EXCEPTIONS_FILE]');
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

if (process.argv[1] === fileURLToPath(import.meta.url)) process.exit(main(process.argv.slice(2)));
