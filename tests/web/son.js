// How long a press takes to be heard: the game's page and a bare page starting the
// same shot (nu.html), each in its own Chromium window on the X display, pressed in
// turn through XTEST by the tir program, which also hears the sound on a sound server
// of its own. Run by scripts/mesurer.sh son, which starts the display and builds tir.
// node son.js PRESSES TIR
const { spawn } = require('node:child_process');
const readline = require('node:readline');
const { projet, PAGE, Mediane, attendre, Serveur, Pulse, Navigateur, FinDePartie } = require('./outils');

const [appuis, programme] = [+process.argv[2] || 50, process.argv[3]];
const LARGEUR = 700, HAUTEUR = 1000;   // each window; the bare one to the right of the game's
const RATE = [300, 60];               // no target ever reaches y < 128: a sure miss

// Where the page's (0, 0) is on the screen, and the time from each press the page
// sees to the start of its sound, on the page's clock.
function Sonde() {
  window.traces = [];
  addEventListener('mousemove', e => { window.decalage = [e.screenX - e.clientX, e.screenY - e.clientY]; }, true);
  addEventListener('mousedown', e => { window.appui = e.timeStamp; window.recu = performance.now(); }, true);
  // The game's note that its window lacks the keyboard comes and goes as the presses
  // move the focus from one window to the other: kept hidden, it never moves the canvas.
  addEventListener('DOMContentLoaded', () => {
    document.head.insertAdjacentHTML('beforeend', '<style>#focus { display: none !important }</style>');
  });
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...a) {
    traces.push([recu - appui, performance.now() - recu]);
    return start.apply(this, a);
  };
}

async function Fenetre(x, adresse, pret) {
  const navigateur = await Navigateur({
    headless: false, defaultViewport: null,
    args: [`--window-position=${x},0`, `--window-size=${LARGEUR},${HAUTEUR}`,
           '--autoplay-policy=no-user-gesture-required'],
  });
  // A tab of its own: the one Chromium opens first is now and then swapped under us.
  const premiers = await navigateur.pages(), page = await navigateur.newPage();
  for (const p of premiers)
    await p.close();
  await page.evaluateOnNewDocument(Sonde);
  page.on('pageerror', e => console.log('page error:', e.message));
  await page.goto(adresse);
  await page.waitForFunction(pret, { timeout: 60000 });
  return { navigateur, page, x };
}

// The middle of the target's blue ring on the canvas, or null when none shows.
function Cible(page) {
  return page.evaluate(() => {
    const c = document.getElementById('canvas'), p = c.getContext('2d').getImageData(0, 0, 600, 600).data;
    let x0 = 600, x1 = -1, y0 = 600, y1 = -1;
    for (let i = 0; i < p.length; i += 4)
      if (p[i] < 60 && p[i + 1] > 40 && p[i + 1] < 120 && p[i + 2] > 200) {
        const x = (i / 4) % 600, y = Math.floor(i / 4 / 600);
        x0 = Math.min(x0, x); x1 = Math.max(x1, x); y0 = Math.min(y0, y); y1 = Math.max(y1, y);
      }
    return x1 - x0 > 20 ? [Math.round((x0 + x1) / 2), Math.round((y0 + y1) / 2)] : null;
  });
}

// The screen's point for the page's point (x, y) of its canvas, or of its body.
async function Ecran(f, x, y) {
  return f.page.evaluate((x, y) => {
    const c = document.getElementById('canvas'), b = c ? c.getBoundingClientRect() : { left: 0, top: 0 };
    return [Math.round(decalage[0] + b.left + x), Math.round(decalage[1] + b.top + y)];
  }, x, y);
}

// The tir program on a sound server of its own, which both browsers then play to.
// Tirer([x, y]) moves the pointer there and presses: the milliseconds to the sound;
// with appuyer 0 it only moves it, with 2 and [px, py], the milliseconds to that
// pixel of the screen changing.
async function Tireur(programme) {
  const pulse = await Pulse();
  process.env.PULSE_SERVER = pulse.serveur;
  const tir = spawn(programme, ['gavremo.monitor'], { stdio: ['pipe', 'pipe', 'inherit'] });
  const lignes = readline.createInterface({ input: tir.stdout })[Symbol.asyncIterator]();
  const Tirer = async ([x, y], appuyer = 1, pixel = []) => {
    tir.stdin.write(`${[x, y, appuyer, ...pixel].join(' ')}\n`);
    const { value } = await lignes.next();
    return value === '-' ? null : +value;
  };
  return { Tirer, arreter: () => { tir.stdin.end(); pulse.arreter(); } };
}

async function main() {
  const { Tirer, arreter } = await Tireur(programme);
  const [site, page] = [await Serveur(projet), await Serveur(PAGE)];
  // The game last: its second target escapes 6 s after it starts, unless hit.
  const nu = await Fenetre(LARGEUR + 20, site.adresse + 'tests/web/nu.html', () => window.tir);
  const jeu = await Fenetre(0, page.adresse, () => window.Module?.calledRun && Module._Passes() > 0);
  for (const f of [jeu, nu]) {
    await Tirer([f.x + LARGEUR / 2, HAUTEUR / 2], 0);
    await f.page.waitForFunction(() => window.decalage);
  }

  // The game's score, counted low: a hit after 1.2 s of a target's showing earns at
  // least 40 points, a miss costs 1, and a target is always hit before it escapes.
  let points = 0, vue = null, depuis = 0;
  const mesures = { jeu: [], nu: [] };
  const perdus = { jeu: 0, nu: 0 };
  // One press of each page first, not counted: each page's first sound.
  let compte = false;
  while (mesures.jeu.length < appuis || mesures.nu.length < appuis) {
    const cible = await Cible(jeu.page);
    if (!cible || !vue || Math.hypot(cible[0] - vue[0], cible[1] - vue[1]) > 4)
      [vue, depuis] = [cible, Date.now()];
    let ms;
    if (cible && Date.now() - depuis > 1200) {
      ms = await Tirer(await Ecran(jeu, ...cible));
      points += 40;
      vue = null;
    } else if (points >= 3) {
      ms = await Tirer(await Ecran(jeu, ...RATE));
      points -= 1;
    } else if (await jeu.page.evaluate(FinDePartie)) {
      throw new Error('the game is over: its score went below 0');
    } else {
      await attendre(300);
      continue;
    }
    if (compte && mesures.jeu.length < appuis)
      ms === null ? perdus.jeu++ : mesures.jeu.push(ms);

    ms = await Tirer(await Ecran(nu, LARGEUR / 2, 200));
    if (compte && mesures.nu.length < appuis)
      ms === null ? perdus.nu++ : mesures.nu.push(ms);
    compte = true;
  }

  const traces = {};
  for (const [nom, f] of [['jeu', jeu], ['nu', nu]]) {
    traces[nom] = await f.page.evaluate(() => traces.slice(1));
    await f.navigateur.close();
  }
  arreter();
  site.close();
  page.close();

  const [a, b] = [Mediane(mesures.jeu), Mediane(mesures.nu)];
  const ligne = (nom, m, v, t, p) => console.log(
    `${nom}: median ${m.toFixed(1)} ms over ${v.length} presses (${Math.min(...v).toFixed(1)}–${Math.max(...v).toFixed(1)})` +
    `${p ? `, ${p} unheard` : ''}; in the page, medians: press to its handler ${Mediane(t.map(x => x[0])).toFixed(1)} ms,` +
    ` handler to the sound's start() ${Mediane(t.map(x => x[1])).toFixed(1)} ms`);
  ligne('game page', a, mesures.jeu, traces.jeu, perdus.jeu);
  ligne('bare page', b, mesures.nu, traces.nu, perdus.nu);
  console.log(`game / bare: ${(a / b).toFixed(2)}`);
}

if (require.main === module)
  main().catch(e => { console.error(e); process.exit(1); });

module.exports = { LARGEUR, Tireur, Fenetre, Cible, Ecran };
