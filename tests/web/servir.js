// Serves a built page as scripts/web.sh --serve does, and as the Lighthouse check and
// the benchmarks see it: http-server with the build's brotli and gzip copies sent to a
// browser that takes them, WebAssembly as application/wasm, and every file revalidated
// (no-cache, answered 304 while unchanged). The files keep their names from build to
// build, so a lifetime would let a browser mix two builds; the worker is the page's
// long-lived cache.
//   node servir.js FOLDER [PORT] [HOST]
const httpServer = require('http-server');
// union, under http-server, reads a field Node has deprecated: its warning says nothing
// of the page.
process.noDeprecation = true;

// brotli or gzip false for a server that lacks it; journal(req, res) sees each request.
function Servir(dossier, port = 8013, hote = '127.0.0.1', { brotli = true, gzip = true, journal } = {}) {
  const serveur = httpServer.createServer({
    root: dossier, brotli, gzip, cache: 'no-cache', showDir: 'false',
    headers: { Vary: 'Accept-Encoding' }, logFn: journal,
  });
  return new Promise(ok => serveur.listen(port, hote, () => {
    serveur.adresse = `http://${hote}:${serveur.server.address().port}/`;
    ok(serveur);
  }));
}

if (require.main === module) {
  const [dossier, port = '8013', hote = '127.0.0.1'] = process.argv.slice(2);
  Servir(dossier, +port, hote).then(() => console.log(`Serving ${dossier} at http://${hote}:${port}/ (Ctrl-C stops)`));
}

module.exports = { Servir };
