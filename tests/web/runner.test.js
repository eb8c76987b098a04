// The browser build's replay runner under node, started exactly as outside
// tools start it, against the committed digests and, for a long random
// script, against the desktop's runner byte for byte.
//
//   ZM_SOURCE=. ZM_WEB_RUNNER=build/web/runner/zultmirax-replay.js \
//   ZM_NATIVE_RUNNER=build/normal/tools/replay/zultmirax-replay node --test tests/web/runner.test.js
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const {spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const source = path.resolve(process.env.ZM_SOURCE || '.');
const webRunner = path.resolve(process.env.ZM_WEB_RUNNER || 'build/web/runner/zultmirax-replay.js');
const nativeRunner = path.resolve(process.env.ZM_NATIVE_RUNNER || 'build/normal/tools/replay/zultmirax-replay');
const passes = Number(process.env.ZM_WEB_RANDOM_PASSES || 200000);

function scratch() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'zm-web-'));
}

function runWeb(args, options) {
  return spawnSync('node', ['--no-experimental-fetch', webRunner, ...args],
                   {encoding: 'utf8', maxBuffer: 1 << 24, ...options});
}

// A script with every kind of line the runner reads: named keys and
// classic numeric key codes (arrows, F11, Return and codes no key has),
// pad buttons past the tables' ends, axes on both sides of the threshold,
// two pads and a third that is ignored; ends in a quit.
function randomScript(total, seed) {
  let state = seed >>> 0;
  const next = (n) => {
    state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
    return state % n;
  };
  const names = ['up', 'down', 'left', 'right', 'z', 'space', 'x', 'c', 'v'];
  const codes = [273, 274, 275, 276, 292, 13, 32, 122, 0, 300, 322, 127, 255];
  const lines = ['# random script, seed ' + seed];
  for (let pass = 0; pass < total - 1; pass += 1 + next(40)) {
    const kind = next(10);
    const dir = next(2) ? 'down' : 'up';
    if (kind < 5) lines.push(pass + ' key ' + dir + ' ' + names[next(names.length)]);
    else if (kind < 6) lines.push(pass + ' key ' + dir + ' ' + codes[next(codes.length)]);
    else if (kind < 8) lines.push(pass + ' joy ' + dir + ' ' + next(3) + ' ' + next(20));
    else lines.push(pass + ' axis ' + next(3) + ' ' + next(3) + ' ' + (next(65536) - 32768));
  }
  lines.push((total - 1) + ' quit');
  return lines.join('\n') + '\n';
}

test('the committed digests: trace, events, sound and screenshot of the kept scripts', () => {
  const result = spawnSync('bash', [path.join(source, 'tests/e2e/digest_test.sh'), webRunner, source],
                           {encoding: 'utf8', env: {...process.env, ZM_EMULATOR: 'node --no-experimental-fetch'}});
  assert.strictEqual(result.status, 0, result.stdout + result.stderr);
  assert.match(result.stdout, /ok: all 13 output files are unchanged/);
});

test('a long random script: every output file is the desktop runner\'s, byte for byte', {timeout: 600000}, () => {
  const dir = scratch();
  const script = path.join(dir, 'random.txt');
  fs.writeFileSync(script, randomScript(passes, 20));
  const shots = [0, 1, 2, 400, 5000, Math.floor(passes / 2), passes - 2];
  const outputs = (tag) => {
    const args = ['--passes', String(passes), '--input', script, '--trace', path.join(dir, tag + '.trace'),
                  '--events', path.join(dir, tag + '.events'), '--audio', path.join(dir, tag + '.wav')];
    for (const s of shots) args.push('--screenshot', s + ':' + path.join(dir, tag + '-' + s + '.bmp'));
    return args;
  };
  const web = runWeb(outputs('web'));
  assert.strictEqual(web.status, 0, web.stderr);
  const native = spawnSync(nativeRunner, outputs('native'), {encoding: 'utf8'});
  assert.strictEqual(native.status, 0, native.stderr);
  const files = ['.trace', '.events', '.wav', ...shots.map((s) => '-' + s + '.bmp')];
  for (const f of files) {
    const a = fs.readFileSync(path.join(dir, 'web' + f));
    const b = fs.readFileSync(path.join(dir, 'native' + f));
    assert.ok(a.length > 0, f + ' is empty');
    assert.ok(a.equals(b), f + ' differs between the browser build and the desktop build');
  }
  // Pass 0 too: the start colour is the same blue (192) in both.
  const first = fs.readFileSync(path.join(dir, 'web-0.bmp'));
  assert.deepStrictEqual([...first.subarray(54, 57)], [192, 0, 0]);
  fs.rmSync(dir, {recursive: true});
});

test('what a browser cannot do is refused before any pass, with the reason', () => {
  const dir = scratch();
  for (const [args, word] of [[['--watch'], '--watch'], [['--record', path.join(dir, 'r.txt')], '--record'],
                              [['--video', path.join(dir, 'v.mp4')], '--video']]) {
    const r = runWeb(['--passes', '5', ...args]);
    assert.strictEqual(r.status, 2, args.join(' '));
    assert.match(r.stderr, new RegExp(word + ': not in the browser build'));
  }
  assert.deepStrictEqual(fs.readdirSync(dir), []);
  // A refused run touches no file: a trace already there keeps its bytes.
  const trace = path.join(dir, 'kept.csv');
  for (const args of [['--watch'], ['--record', path.join(dir, 'r.txt')], ['--video', path.join(dir, 'v.mp4')]]) {
    fs.writeFileSync(trace, 'kept\n');
    const r = runWeb(['--passes', '5', '--trace', trace, '--events', path.join(dir, 'e.csv'), ...args]);
    assert.strictEqual(r.status, 2, args.join(' '));
    assert.strictEqual(fs.readFileSync(trace, 'utf8'), 'kept\n', args.join(' '));
    assert.deepStrictEqual(fs.readdirSync(dir), ['kept.csv'], args.join(' '));
  }
  fs.rmSync(dir, {recursive: true});
});

test('key codes in scripts are classic SDL\'s on both builds: 273 moves, 1106 is refused', () => {
  const dir = scratch();
  fs.writeFileSync(path.join(dir, 'codes.txt'), '0 key down 1106\n');
  for (const runner of [(a) => runWeb(a), (a) => spawnSync(nativeRunner, a, {encoding: 'utf8'})]) {
    const r = runner(['--passes', '5', '--input', path.join(dir, 'codes.txt')]);
    assert.strictEqual(r.status, 2);
    assert.match(r.stderr, /unknown key '1106' \(a key name or an SDL key code 0-322\)/);
  }
  // The same moves by name and by code: 276 is left, 275 right.
  const trace = (script) => {
    fs.writeFileSync(path.join(dir, 's.txt'), script);
    const r = runWeb(['--passes', '700', '--input', path.join(dir, 's.txt'), '--trace', path.join(dir, 't.csv')]);
    assert.strictEqual(r.status, 0, r.stderr);
    return fs.readFileSync(path.join(dir, 't.csv'), 'utf8');
  };
  const start = '130 key down z\n140 key up z\n300 key down z\n310 key up z\n';
  const byName = trace(start + '500 key down left\n600 key up left\n');
  const byCode = trace(start + '500 key down 276\n600 key up 276\n');
  const still = trace(start);
  assert.strictEqual(byCode, byName);
  assert.notStrictEqual(byName, still);
  fs.rmSync(dir, {recursive: true});
});
