// Writes the mail-program table that the program's own matcher
// (src/core/gallery/check/mailprogramlint.cpp) reads, so that the gallery
// needs no Node at run time, yet finds what lint.mjs finds: the caniemail data
// of the pinned linter package, turned into the same rules its linter derives
// from the feature titles, and the exceptions beside this script.
//
//   node mailtable.mjs OUTPUT.cpp           write the table
//   node mailtable.mjs --check OUTPUT.cpp   exit 1 when OUTPUT.cpp is not what it would write
//
// The table is checked in: a build needs neither Node nor the npm packages,
// and the test mail_program_table_current fails while it differs from the
// data of the installed package.

import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { CLIENTS, CLIENT_NAMES, parseExceptions } from './lint.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const packageFolder = join(here, 'node_modules/@jsx-email/doiuse-email');
const packageVersion = JSON.parse(readFileSync(join(packageFolder, 'package.json'), 'utf8')).version;

// The package bundles its data but exports only the linter: the data is the
// object literal its bundle assigns to can_i_email_default.
function caniemailData() {
  const bundle = readFileSync(join(packageFolder, 'dist/index.mjs'), 'utf8');
  const start = bundle.indexOf('var can_i_email_default = ');
  const end = bundle.indexOf('var canIEmailData = can_i_email_default;');
  if (start < 0 || end < 0) throw new Error(`${packageFolder}: the caniemail data is not where version ${packageVersion} keeps it`);
  const literal = bundle.slice(start + 'var can_i_email_default = '.length, end).trim().replace(/;(\s*\/\/[^\n]*)*\s*$/, '');
  return new Function(`return (${literal});`)();
}

// As the linter reads a feature's support in one program: the value of its
// latest version, by plain string order of the version keys.
function isUnsupported(stats, client) {
  let node = stats;
  for (const part of client.split('.')) node = node?.[part];
  if (node === undefined) return undefined;
  const latest = Object.keys(node).sort().at(-1);
  return node[latest].startsWith('n');
}

// The rules the linter derives from the titles, each as [kind, a, b, title].
function rules(data) {
  const css = new Map();
  const html = new Map();
  for (const feature of data.data) {
    if (feature.category === 'css') css.set(feature.title, feature);
    if (feature.category === 'html') html.set(feature.title, feature);
  }
  const out = [];
  const cssTitles = [...css.keys()];
  const htmlTitles = [...html.keys()];

  // A property is looked up only when some CSS feature is titled with its
  // bare name; then every title naming it matches.
  const propertyNames = new Map();
  for (const title of cssTitles) {
    if (title === 'left, right, top, bottom') {
      propertyNames.set(title, ['left', 'right', 'top', 'bottom']);
      continue;
    }
    const trimmed = title.trim().replace(/ shorthand$/, '').replace(/ property$/, '');
    if (/^[a-z-]+$/.test(trimmed)) propertyNames.set(title, [trimmed]);
  }
  for (const [title, names] of propertyNames) {
    for (const name of names) if (css.has(name)) out.push(['Property', name, '', title]);
  }
  for (const title of cssTitles) {
    const pair = /([a-z-]+):\s*([a-z-]+)/.exec(title);
    if (pair) out.push(['PropertyValue', pair[1], pair[2], title]);
  }
  for (const title of cssTitles) {
    if (title.startsWith('@')) out.push(['AtRule', title.slice(1), '', title]);
  }
  for (const title of cssTitles) {
    if (!title.endsWith(' unit')) continue;
    const unit = title.replace(/ unit$/, '');
    if (!/^([a-z]+|%)$/.test(unit)) throw new Error(`unit "${unit}" needs more than a literal match`);
    out.push([unit === 'initial' ? 'Word' : 'Unit', unit, '', title]);
  }
  // CSS functions: the linter looks a function's name up among the features'
  // titles, which all end in "()", so it never reports one; neither do we.
  const detectors = ['Adjacent sibling combinator', 'Attribute selector', 'Chaining selectors',
    'Child combinator', 'Class selector', 'Descendant combinator', 'General sibling combinator',
    'Grouping selectors', 'ID selector', 'Type selector', 'Universal selector *'];
  for (const title of cssTitles) if (detectors.includes(title)) out.push(['Selector', title, '', title]);
  for (const title of cssTitles) if (title.startsWith(':')) out.push(['Pseudo', title, '', title]);
  for (const title of cssTitles) {
    if (title.includes(' keyword')) out.push(['Keyword', title.replace(/ keyword$/, ''), '', title]);
  }

  const specialElements = {
    address: ['address'],
    'HTML5 doctype': ['!doctype html'],
    'HTML5 semantics': ['article', 'aside', 'details', 'figcaption', 'figure', 'footer', 'header',
      'main', 'mark', 'nav', 'section', 'summary', 'time'],
    'Image maps': ['map'],
    'Embedded <svg> image': ['image'],
  };
  for (const title of htmlTitles) {
    const tags = specialElements[title] ?? (/<(\w+)>/.exec(title)?.slice(1, 2));
    for (const tag of tags ?? []) out.push(['Element', tag, '', title]);
  }
  for (const title of htmlTitles) {
    const names = title === 'srcset and sizes attributes' ? ['srcset', 'sizes']
      : title.endsWith('attribute') ? [title.replace(/ attribute$/, '')] : [];
    for (const name of names) out.push(['Attribute', name, '', title]);
  }
  for (const title of htmlTitles) {
    if (title === 'Local anchors') {
      out.push(['ElementAttributePrefix', 'a', 'href\n#', title]);
      out.push(['ElementAttribute', 'a', 'name', title]);
    } else if (title === 'mailto: links') {
      out.push(['ElementAttributePrefix', 'a', 'href\nmailto:', title]);
    } else if (title === 'AMP for Email') {
      out.push(['ElementAttribute', 'html', '\u26A14email', title]);
      out.push(['ElementAttribute', 'html', 'amp4email', title]);
    } else {
      const pair = /<(\w+) (\w+)="(\w+)"> element/.exec(title);
      if (pair) out.push(['ElementAttributeEquals', pair[1], `${pair[2]}\n${pair[3]}`, title]);
    }
  }
  return out;
}

function cString(text) {
  return `"${[...Buffer.from(text, 'utf8')].map((byte) => {
    if (byte === 0x22 || byte === 0x5c) return `\\${String.fromCharCode(byte)}`;
    if (byte === 0x0a) return '\\n';
    if (byte < 0x20 || byte > 0x7e) return `\\x${byte.toString(16).padStart(2, '0')}""`;
    return String.fromCharCode(byte);
  }).join('')}"`;
}

function table() {
  const data = caniemailData();
  // Where titles repeat, the linter's lookup by title keeps the last.
  const byTitle = new Map();
  for (const feature of data.data) byTitle.set(feature.title, feature);
  const derived = rules(data);
  const titles = [...new Set(derived.map((rule) => rule[3]))];
  const index = new Map(titles.map((title, i) => [title, i]));

  const features = titles.map((title) => {
    const feature = byTitle.get(title);
    // The linter gives up on a page with a feature that lacks data for one
    // of the programs; the matcher says which ones instead.
    let mask = 0;
    let unknown = 0;
    CLIENTS.forEach((client, bit) => {
      const none = isUnsupported(feature.stats, client);
      if (none === undefined) unknown |= 1 << bit;
      else if (none) mask |= 1 << bit;
    });
    return `    {${cString(title)}, ${cString(feature.url ?? '')}, 0x${mask.toString(16)}, 0x${unknown.toString(16)}},`;
  });
  const exceptionsPath = join(here, 'exceptions.txt');
  const exceptions = parseExceptions(readFileSync(exceptionsPath, 'utf8'), 'exceptions.txt');
  const lines = [
    '// Generated by library/lint/mailtable.mjs from the caniemail data of',
    `// @jsx-email/doiuse-email ${packageVersion} and library/lint/exceptions.txt; do not edit.`,
    '// clang-format off',
    '#include "core/gallery/check/mailprogramtable.h"',
    '',
    'namespace MailProgramTable {',
    '',
    `const char* const PackageVersion = ${cString(packageVersion)};`,
    '',
    `const std::array<Client, ${CLIENTS.length}> Clients{{`,
    ...CLIENTS.map((client) => `    {${cString(client)}, ${cString(CLIENT_NAMES[client])}},`),
    '}};',
    '',
    'static const Feature FeatureData[] = {',
    ...features,
    '};',
    'const std::span<const Feature> Features(FeatureData);',
    '',
    'static const Rule RuleData[] = {',
    ...derived.map(([kind, a, b, title]) => `    {RuleKind::${kind}, ${cString(a)}, ${cString(b)}, ${index.get(title)}},`),
    '};',
    'const std::span<const Rule> Rules(RuleData);',
    '',
    'static const Exception ExceptionData[] = {',
    ...exceptions.map((e) => `    {${cString(e.feature)}, ${CLIENTS.indexOf(e.client)}, ${cString(e.reason)}},`),
    '};',
    'const std::span<const Exception> Exceptions(ExceptionData);',
    '',
    '} // namespace MailProgramTable',
    '// clang-format on',
    '',
  ];
  return lines.join('\n');
}

function main(argv) {
  const check = argv[0] === '--check';
  const output = check ? argv[1] : argv[0];
  if (!output || argv.length !== (check ? 2 : 1)) {
    console.error('usage: node mailtable.mjs [--check] OUTPUT.cpp');
    return 2;
  }
  try {
    const text = table();
    if (!check) {
      writeFileSync(output, text);
      return 0;
    }
    let current = '';
    try { current = readFileSync(output, 'utf8'); } catch { /* reported below */ }
    if (current === text) return 0;
    console.error(`${output} is not what the linter's data gives; run node library/lint/mailtable.mjs ${output}`);
    return 1;
  } catch (error) {
    console.error(`error: ${error.message}`);
    return 1;
  }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) process.exitCode = main(process.argv.slice(2));
