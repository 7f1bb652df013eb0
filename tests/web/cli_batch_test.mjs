// The WebAssembly iitcalc-cli under Node against the native one: a batch of
// 100,000 random lines (integers, decimals, exponents, &H and &O, full-width
// forms, grouping right and wrong, blanks, junk, overflow) gives the same
// bytes on standard output and standard error, and the same exit status,
// under zh_CN and under C.
//   node tests/web/cli_batch_test.mjs NATIVE_CLI WASM_CLI_JS
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';

const [native, wasm] = process.argv.slice(2);
const kLines = 100000;

// A small seeded generator, so that a failing batch can be made again.
function generator(seed) {
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

function batch(seed) {
  const random = generator(seed);
  const pick = (items) => items[Math.floor(random() * items.length)];
  const digits = (count) => Array.from({length: count}, () => Math.floor(random() * 10)).join('');
  const wide = (text) => text.replace(/[0-9.,+\-E&HO]/g, (c) => String.fromCharCode(c.charCodeAt(0) + 0xfee0));
  const number = () => pick([
    () => digits(1 + Math.floor(random() * 7)),
    () => `${digits(1 + Math.floor(random() * 6))}.${digits(1 + Math.floor(random() * 4))}`,
    () => `-${digits(1 + Math.floor(random() * 5))}`,
    () => `${digits(1 + Math.floor(random() * 3))}E${pick(['', '+', '-'])}${digits(1 + Math.floor(random() * 3))}`,
    () => `&H${Math.floor(random() * 0xfffff).toString(16).toUpperCase()}`,
    () => `&O${Math.floor(random() * 0o77777).toString(8)}`,
    () => wide(digits(1 + Math.floor(random() * 6))),
    () => `${digits(1 + Math.floor(random() * 3))},${digits(3)}`, // grouping where zh_CN puts it
    () => `${digits(1 + Math.floor(random() * 3))},${digits(3)},${digits(3)}.${digits(2)}`,
    () => `${digits(4)},${digits(1)}`, // grouping in the wrong place
    () => `${digits(2)},${digits(2)}`,
    () => ` ${digits(4)} `,
    () => `1 000`,
    () => `${digits(4)}元`,
    () => pick(['', 'abc', '.', '-', '1.2.3', 'E5', '&H', '&O9', '0.1E+', '１，０００']),
    () => `1E${pick(['308', '309', '400', '-330', '-400'])}`,
    () => `${digits(400)}`,
    () => `-${digits(310)}.5`,
    () => `${digits(1)}.${digits(20)}`,
  ])();
  const lines = [];
  for (let i = 0; i < kLines; ++i)
    lines.push(random() < 0.3 ? `${number()}\t${number()}` : `${number()}\t${number()}\t${number()}`);
  return lines.join('\n') + '\n';
}

function run(command, args, input, locale) {
  const result = spawnSync(command, args, {input, env: {PATH: process.env.PATH, LC_ALL: locale}, maxBuffer: 1 << 30});
  return {status: result.status, stdout: result.stdout, stderr: result.stderr};
}

// Without both programs there is nothing to compare: skipped (77 for CTest).
if (![native, wasm].every((file) => file && fs.existsSync(file))) {
  console.log(`skipped: no native CLI to compare with (${native || 'none given'})`);
  process.exit(77);
}

for (const locale of ['zh_CN.UTF-8', 'C']) {
  test(`the same output under ${locale}`, () => {
    const input = batch(locale.length);
    const expected = run(native, [], input, locale);
    const actual = run(process.execPath, ['--no-experimental-fetch', wasm], input, locale);
    assert.equal(expected.stdout.toString().split('\n').length, kLines + 1, 'one line out for each line in');
    assert.equal(actual.status, expected.status, 'exit status');
    assert.equal(actual.stderr.toString(), expected.stderr.toString(), 'standard error');
    if (!actual.stdout.equals(expected.stdout)) {
      const a = actual.stdout.toString().split('\n');
      const e = expected.stdout.toString().split('\n');
      const first = e.findIndex((line, i) => line !== a[i]);
      assert.fail(`line ${first + 1} of ${input.split('\n')[first]}:\n  native ${e[first]}\n  wasm   ${a[first]}`);
    }
  });
}

// A payroll sheet as a clerk's spreadsheet saves it (names, staff numbers,
// quoted grouped amounts, bad cells, blank rows, CR LF), in UTF-8 and in
// GB18030: the same bytes from both programs.
function sheet(seed) {
  const random = generator(seed);
  const rows = ['姓名,工号,应发工资,五险一金,起征点'];
  const amount = () => {
    const pay = Math.floor(random() * 9000000 + 300000) / 100;
    return random() < 0.5 ? `"${pay.toLocaleString('en-US', {minimumFractionDigits: 2})}"` : `${pay}`;
  };
  for (let i = 0; i < 20000; ++i) {
    const odd = random();
    if (odd < 0.01) rows.push(',,,,');
    else if (odd < 0.02) rows.push(`员工${i},${i},abc,0,`);
    else if (odd < 0.03) rows.push(`"员工""${i}""\r\n(兼)",${i},¥${amount().replace(/"/g, '')}元`);
    else rows.push(`员工${i},${String(i).padStart(6, '0')},${amount()},${Math.floor(random() * 300000) / 100},${odd < 0.2 ? 5000 : ''}`);
  }
  return rows.join('\r\n') + '\r\n';
}

for (const locale of ['zh_CN.UTF-8', 'C']) {
  test(`the same sheet results under ${locale}`, () => {
    const utf8 = Buffer.from(sheet(locale.length));
    const gb18030 = spawnSync('iconv', ['-f', 'UTF-8', '-t', 'GB18030'], {input: utf8, maxBuffer: 1 << 30}).stdout;
    for (const input of [utf8, gb18030]) {
      const expected = run(native, ['--csv'], input, locale);
      const actual = run(process.execPath, ['--no-experimental-fetch', wasm, '--csv'], input, locale);
      assert.ok(expected.stdout.length > input.length, 'a result');
      assert.equal(actual.status, expected.status, 'exit status');
      assert.equal(actual.stderr.toString(), expected.stderr.toString(), 'standard error');
      assert.ok(actual.stdout.equals(expected.stdout), 'the same result');
    }
  });
}

// A closed input or output is a failure, status 3, as natively: Node puts
// /dev/null in their place, which must not pass for an empty input or a
// written result.
test('closed standard streams end with status 3', () => {
  for (const [redirect, message] of [['<&-', '读取输入失败'], ['>&-', '写入输出失败']]) {
    for (const program of [`"${native}"`, `"${process.execPath}" --no-experimental-fetch "${wasm}"`]) {
      const result = spawnSync('sh', ['-c', `printf '1\\t0\\n' | ${program} ${redirect}`],
                               {env: {PATH: process.env.PATH, LC_ALL: 'C'}});
      assert.equal(result.status, 3, `${program} ${redirect}`);
      assert.equal(result.stderr.toString(), `iitcalc-cli: ${message}\n`, `${program} ${redirect}`);
    }
  }
});
