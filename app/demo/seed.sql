-- Orla Contas demo database: seed data. Run after schema.sql.
--
-- Every date is relative to the day the database is made (local time), so the demo always
-- shows a live period: movements over the last ~5 months and ~2 months into the future.
-- Hand-written rows carry small ids (tests rely on some of them); generated bulk rows start at
-- id 101 (transfers: 9). Generated values come from fixed arithmetic on a counter, never
-- from random(), so every build holds the same movements relative to its day.
--
-- Dates: strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', '<+/-N> days') || ' hh:mm:ss'.

-- ---------------------------------------------------------------- contacts

INSERT INTO tbContactos (contacto_id, nome_union, nome_abreviado, tipo, no_contribuinte, morada, cod_postal, localidade, pais, telefone, telemovel, fax, email, inactivo) VALUES
 (1,  'Atlântico Gestão e Saúde, Lda.', 'Atlântico', 'E', '509876544', 'Rua Castilho, 39 - 4.º Esq.', '1250-068', 'Lisboa', 'Portugal', '213 456 789', NULL, '213 456 790', 'geral@atlantico-gs.pt', 0),
 -- clients
 (2,  'Café O''Brien, Lda.', 'Café O''Brien', 'C', '510123457', 'Rua da Prata, 112', '1100-420', 'Lisboa', 'Portugal', '218 765 432', '912 345 678', NULL, 'obrien.cafe@mail.pt', 0),
 (3,  'Padaria Flor do Minho, Lda.', 'Flor do Minho', 'C', '502345675', 'Avenida da Liberdade, 455', '4710-251', 'Braga', 'Portugal', '253 112 233', NULL, NULL, 'encomendas@flordominho.pt', 0),
 (4,  'Construções Vieira & Filhos, S.A.', 'Vieira & Filhos', 'C', '503456780', 'Zona Industrial da Cova das Faias, Lote 12', '2415-017', 'Leiria', 'Portugal', '244 820 100', NULL, '244 820 101', 'contabilidade@vieirafilhos.pt', 0),
 (5,  'Farmácia Central de Coimbra, Lda.', 'Farmácia Central', 'C', '504567896', 'Praça 8 de Maio, 21', '3000-300', 'Coimbra', 'Portugal', '239 822 415', NULL, NULL, 'farmacia.central@mail.pt', 0),
 (6,  'Hotel Miramar Algarve, S.A.', 'Hotel Miramar', 'C', '505678900', 'Avenida dos Descobrimentos, 3', '8200-260', 'Albufeira', 'Portugal', '289 540 900', NULL, '289 540 901', 'reservas@miramar-algarve.pt', 0),
 (7,  'Maria Helena Sousa', NULL, 'C', '201456788', 'Rua Dr. António Manuel Gamito, 8 - 2.º Dto.', '2900-055', 'Setúbal', 'Portugal', NULL, '936 221 450', NULL, 'mhelena.sousa@mail.pt', 0),
 (8,  'José Manuel Costa', NULL, 'C', '213567890', 'Rua de Santa Catarina, 702', '4000-446', 'Porto', 'Portugal', NULL, '917 003 214', NULL, NULL, 0),
 (9,  'Transportes Rápidos do Norte, Lda.', 'TRN', 'C', '506789012', 'Rua da Lionesa, 446', '4465-671', 'Leça do Balio', 'Portugal', '229 065 300', NULL, NULL, 'financeiro@trn.pt', 0),
 (10, 'Escola de Línguas Babel, Lda.', 'Babel', 'C', '507890124', 'Rua Direita, 71', '3810-170', 'Aveiro', 'Portugal', '234 383 950', NULL, NULL, 'secretaria@babel-aveiro.pt', 0),
 (11, 'Adega Cooperativa de Borba, C.R.L.', 'Adega de Borba', 'C', '512345678', 'Rua de São Bartolomeu', '7150-160', 'Borba', 'Portugal', '268 891 660', NULL, '268 891 661', 'adega@borba-crl.pt', NULL),
 -- suppliers
 (12, 'Energia Lusa Comercial, S.A.', 'Energia Lusa', 'F', '513456783', 'Avenida 24 de Julho, 12', '1249-300', 'Lisboa', 'Portugal', '808 535 353', NULL, NULL, 'clientes@energialusa.pt', 0),
 (13, 'TeleNorte Comunicações, S.A.', 'TeleNorte', 'F', '501122338', 'Rua Tenente Valadim, 431', '4100-479', 'Porto', 'Portugal', '800 200 160', NULL, NULL, 'empresas@telenorte.pt', 0),
 (14, 'Papelaria Moderna de Lisboa, Lda.', 'Papelaria Moderna', 'F', '502233443', 'Rua do Ouro, 250', '1100-065', 'Lisboa', 'Portugal', '213 420 118', NULL, NULL, 'vendas@papelariamoderna.pt', 0),
 (15, 'Águas do Douro Litoral, E.M.', 'Águas DL', 'F', '503344559', 'Rua Barão de Nova Sintra, 285', '4300-367', 'Porto', 'Portugal', '225 190 800', NULL, NULL, 'atendimento@aguasdl.pt', 0),
 (16, 'Material Médico Ibérico, Lda.', 'MMI', 'F', '504455664', 'Estrada de Eiras, 1500', '3020-197', 'Coimbra', 'Portugal', '239 497 100', NULL, '239 497 101', 'encomendas@mmiberico.pt', 0),
 (17, 'Fonseca & Associados - Sociedade de Advogados, SP, R.L.', 'Fonseca & Associados', 'F', '505566770', 'Avenida da República, 50 - 7.º', '1050-196', 'Lisboa', 'Portugal', '217 998 450', NULL, NULL, 'geral@fonseca-advogados.pt', 0),
 (18, 'Limpezas Brilho Total, Lda.', 'Brilho Total', 'F', '506677885', 'Rua Cidade de Bolama, 1 B', '1800-079', 'Lisboa', 'Portugal', '218 530 220', NULL, NULL, 'brilhototal@mail.pt', 0),
 (19, 'Imobiliária Baixa Pombalina, S.A.', 'Baixa Pombalina', 'F', '509988776', 'Rua Augusta, 180 - 1.º', '1100-053', 'Lisboa', 'Portugal', '213 241 500', NULL, NULL, 'rendas@baixapombalina.pt', 0),
 -- patients
 (20, 'Ana Beatriz Lopes', NULL, 'P', '224678906', 'Rua Morais Soares, 130 - 3.º Esq.', '1900-354', 'Lisboa', 'Portugal', NULL, '961 234 567', NULL, 'beatriz.lopes@mail.pt', 0),
 (21, 'Carlos Alberto Nunes', NULL, 'P', '235789011', 'Avenida de Roma, 14 - 5.º', '1000-265', 'Lisboa', 'Portugal', NULL, '926 555 014', NULL, NULL, 0),
 (22, 'Inês Margarida Teixeira', NULL, 'P', '246890126', 'Rua do Almada, 300', '4050-032', 'Porto', 'Portugal', NULL, '913 870 225', NULL, 'ines.teixeira@mail.pt', 0),
 (23, 'Francisco Xavier Moreira', NULL, 'P', '198765436', 'Travessa do Carmo, 2', '1200-095', 'Lisboa', 'Portugal', '213 470 990', NULL, NULL, NULL, 0),
 (24, 'Rosa Maria Gonçalves', NULL, 'P', '187654328', 'Rua Câmara Pestana, 9', '2745-240', 'Queluz', 'Portugal', NULL, '968 400 311', NULL, NULL, 0),
 -- users of the suite
 (25, 'Ana Rita Ferreira', 'Ana Ferreira', 'U', '209876549', NULL, NULL, 'Lisboa', 'Portugal', NULL, '912 000 101', NULL, 'ana.ferreira@atlantico-gs.pt', 0),
 (26, 'Rui Miguel Santos', 'Rui Santos', 'U', '210987650', NULL, NULL, 'Lisboa', 'Portugal', NULL, '912 000 102', NULL, 'rui.santos@atlantico-gs.pt', 0),
 (27, 'João Pedro Almeida', 'João Almeida', 'U', '221098763', NULL, NULL, 'Porto', 'Portugal', NULL, '912 000 103', NULL, 'joao.almeida@atlantico-gs.pt', 0),
 (28, 'Marta Sofia Carvalho', 'Marta Carvalho', 'U', '232109877', NULL, NULL, 'Lisboa', 'Portugal', NULL, '912 000 104', NULL, 'marta.carvalho@atlantico-gs.pt', 0);

-- ---------------------------------------------------------------- company and warehouses

INSERT INTO tbEmpresas (empresa_id, contacto_id, tipo_sociedade, capital, nib, certificado, conservatoria, predef) VALUES
 (1, 1, 'Sociedade por Quotas', 50000.00, '0033 0000 45678901234 05',
  'Processado por programa certificado n.º 9999/AT', 'Conservatória do Registo Comercial de Lisboa', 1);

INSERT INTO tbArmazens (armazem_id, descrit, empresa_id, morada, cod_postal, localidade, predef) VALUES
 (1, 'Sede - Lisboa', 1, 'Rua Castilho, 39 - 4.º Esq.', '1250-068', 'Lisboa', 1),
 (2, 'Filial - Porto', 1, 'Rua de Cedofeita, 215', '4050-180', 'Porto', 0);

-- ---------------------------------------------------------------- security
-- Codes are matched with LIKE '%CODE%' (case-insensitive, '_' would be a wildcard): none is a
-- substring of another and none holds '_' or '%'.
--   ana   (U-ANA)   group G-CONTAB            -> every policy
--   rui   (U-RUI)   group G-TESOUR            -> lacks #2302
--   joao  (U-JOAO)  groups G-COMERC, G-CONSUL -> lacks #2301
--   marta (U-MARTA) no group link             -> every policy (empty condition)

INSERT INTO tbGroups (group_id, code, descrit) VALUES
 (1, 'G-CONTAB', 'Contabilidade'),
 (2, 'G-TESOUR', 'Tesouraria'),
 (3, 'G-COMERC', 'Comercial'),
 (4, 'G-CONSUL', 'Consulta');

INSERT INTO tbUsers (user_id, code, descrit, armazem_id, contacto_id, inactivo) VALUES
 (1, 'U-ANA',   'ana',   1,    25, 0),
 (2, 'U-RUI',   'rui',   1,    26, 0),
 (3, 'U-JOAO',  'joao',  2,    27, 0),
 (4, 'U-MARTA', 'marta', NULL, 28, NULL);

INSERT INTO tbGroups_Users_Links (group_id, user_id) VALUES
 (1, 1),
 (2, 2),
 (3, 3),
 (4, 3);

INSERT INTO tbSecurityPolicies (code, descrit, users_groups) VALUES
 ('#2301', 'Contas Bancárias - Abrir extratos e conciliação bancária', 'G-CONTAB;G-TESOUR'),
 ('#2302', 'Contas Bancárias - Ver contas protegidas', 'G-CONTAB;G-COMERC'),
 ('#2303', 'Contas Bancárias - Registar transferências entre contas', 'G-CONTAB;G-TESOUR'),
 ('#2304', 'Contas Bancárias - Imprimir extratos', 'G-CONTAB;G-TESOUR;G-CONSUL'),
 ('#1101', 'Vendas - Emitir recibos', 'G-CONTAB;G-COMERC;U-RUI');

-- tbTemplates: the demo database stores the files of app/demo/templates when it is made.

-- ---------------------------------------------------------------- payment methods and accounts

INSERT INTO tbModos_Pagamento (modo_pagamento_id, descrit, inactivo) VALUES
 (1, 'Numerário', 0),
 (2, 'Cheque', 0),
 (3, 'Multibanco', 0),
 (4, 'Cartão de crédito', 0),
 (5, 'Transferência bancária', 0),
 (6, 'Débito direto', 0),
 (7, 'MB WAY', NULL);

-- 1 ordinary (main account)          5 protected
-- 2 ordinary, closed until -45 days   6 system
-- 3 ordinary, saldo_data -60 days     7 inactive
-- 4 ordinary (cash, NULL flags)       8 ordinary
INSERT INTO tbContas_Bancarias (conta_id, descrit, banco, iban, swift, saldo, saldo_data, data_closed, system, protected, inactivo)
SELECT id, descrit, banco, iban, swift, saldo,
       strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', saldo_d)),
       CASE WHEN closed_d IS NULL THEN NULL
            ELSE strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', closed_d)) END,
       sys, prot, inact
FROM (
  WITH c(id, descrit, banco, iban, swift, saldo, saldo_d, closed_d, sys, prot, inact) AS (VALUES
   (1, 'Conta à ordem 0001234-5',   'Millennium BCP',           'PT50 0033 0000 0001 2345 6789 5', 'BCOMPTPL', 12500.00, -200, NULL, 0,    0,    0),
   (2, 'Conta à ordem 45678901',    'Caixa Geral de Depósitos', 'PT50 0035 0123 0004 5678 9013 0', 'CGDIPTPL',  8340.75, -200,  -45, 0,    0,    0),
   (3, 'Conta empresa 0987-6543',   'Novo Banco',               'PT50 0007 0000 0098 7654 3210 3', 'BESCPTPL',  3200.00,  -60, NULL, 0,    0,    0),
   (4, 'Numerário',                 'Caixa',                    NULL,                               NULL,        450.00, -200, NULL, NULL, NULL, NULL),
   (5, 'Conta reservada 5566-7',    'Santander Totta',          'PT50 0018 0003 0055 6677 0200 9', 'TOTAPTPL', 25000.00, -200, NULL, 0,    1,    0),
   (6, 'Valores a regularizar',     'Sistema',                  NULL,                               NULL,          0.00, -200, NULL, 1,    0,    0),
   (7, 'Conta antiga 1122-3',       'BPI',                      'PT50 0010 0000 0112 2300 0019 7', 'BBPIPTPL',     0.00, -400, NULL, 0,    0,    1),
   (8, 'Conta à ordem 3344556',     'Montepio',                 'PT50 0036 0000 0334 4556 0013 1', 'MPIOPTPL',  4100.25, -200, NULL, 0,    NULL, 0)
  ) SELECT * FROM c
);

-- ---------------------------------------------------------------- origin 1: receipts
-- d = day offset from today, t = time; ddeb = day offset of the bank date (NULL = not reconciled);
-- nodoc = 1 leaves data_documento NULL (the record's data counts).

INSERT INTO tbDocumentos_Recibos (recibo_id, armazem_id, documento_no, data, data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, obs)
SELECT id, arm,
       'RC ' || CASE arm WHEN 1 THEN 'LX' ELSE 'PT' END || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || id,
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00',
       CASE WHEN nodoc = 1 THEN NULL ELSE strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00' END,
       CASE WHEN ddeb IS NULL THEN NULL ELSE strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', ddeb)) END,
       contacto, conta, modo, valor, ref, obs
FROM (
  WITH r(id, arm, d, t, nodoc, ddeb, contacto, conta, modo, valor, ref, obs) AS (VALUES
   (1,  1,  -20, '10:15', 0, NULL, 2,  1, 5, 1250.40, 'FT LX/1042', 'Pagamento de fornecimentos de outubro'),
   (2,  1,  -35, '11:40', 0,  -33, 4,  1, 2, 4380.75, 'Cheque n.º 7731024', NULL),
   (3,  2,   -3, '16:05', 0, NULL, 8,  4, 1,   85.50, 'FS PT/2210', NULL),
   (4,  1,   12, '09:00', 0, NULL, 6,  1, 5, 2975.25, 'FT LX/1101', 'Pagamento previsto'),
   (5,  2,  -60, '14:20', 0,  -59, 9,  2, 5, 1640.00, 'FT PT/2150', NULL),
   (6,  2,  -50, '10:00', 0, NULL, 10, 2, 2,  720.30, 'Cheque n.º 0045512', 'Cheque ainda por depositar'),
   (7,  1,  -75, '12:30', 0,  -74, 3,  3, 3,  312.45, 'FT LX/0911', NULL),
   (8,  1,  -10, '15:45', 1, NULL, 5,  3, 5,  980.10, 'FT LX/1075', NULL),
   (9,  1,  -25, '09:50', 0,  -24, 11, 5, 5, 5400.00, 'FT LX/1050', 'Contrato anual'),
   (10, 1,    0, '09:30', 0, NULL, 7,  1, 7,   45.90, 'FS LX/3301', NULL),
   (11, 1,   -5, '17:10', 0, NULL, 2,  1, 3,  -35.00, 'NC LX/0102', 'Estorno parcial do RC 1'),
   (12, 2,  -40, '10:25', 0,  -38, 8,  8, 4,  199.99, 'FS PT/2188', NULL),
   (13, 1,   -7, '00:00', 0, NULL, 4,  1, 5,  610.00, 'FT LX/1080', 'Mesmo dia que o RC 14'),
   (14, 1,   -9, '11:00', 0,   -7, 6,  1, 5, 1835.60, 'FT LX/1078', 'Creditado em conta dois dias depois'),
   (15, 1, -145, '10:00', 0, -144, 9,  7, 5,  860.00, 'FT LX/0788', NULL),
   (16, 1, -142, '15:30', 0, -141, 4,  7, 2, 1490.80, 'Cheque n.º 7730011', NULL)
  ) SELECT * FROM r
);

-- Bulk receipts 101..190 over the last 150 days and the next 60.
INSERT INTO tbDocumentos_Recibos (recibo_id, armazem_id, documento_no, data, data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, obs)
SELECT 100 + n, arm,
       'RC ' || CASE arm WHEN 1 THEN 'LX' ELSE 'PT' END || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || (100 + n),
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t,
       CASE WHEN n % 11 = 0 THEN NULL ELSE strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t END,
       CASE WHEN d <= -6 AND (n % 4 <> 0 OR (conta = 2 AND d < -45))
            THEN strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d + n % 3)) END,
       2 + (n * 7) % 10, conta,
       CASE WHEN conta = 4 THEN 1 ELSE modo END,
       CASE WHEN conta = 4 THEN round(5 + ((n * 7919) % 15000) / 100.0, 2)
            ELSE round(25 + ((n * 7919) % 300000) / 100.0, 2) END,
       'FT ' || CASE arm WHEN 1 THEN 'LX' ELSE 'PT' END || '/' || (900 + n * 3),
       NULL
FROM (
  WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < 90)
  SELECT n,
         -150 + (n * 53) % 211 AS d,
         printf('%02d:%02d:00', 9 + (n * 7) % 9, (n * 13) % 60) AS t,
         CASE WHEN n % 3 = 0 THEN 2 ELSE 1 END AS arm,
         CASE n % 8 WHEN 0 THEN 2 WHEN 1 THEN 3 WHEN 2 THEN 4 WHEN 3 THEN 8 WHEN 4 THEN 5 ELSE 1 END AS conta,
         CASE n % 6 WHEN 0 THEN 1 WHEN 1 THEN 2 WHEN 2 THEN 3 WHEN 3 THEN 4 WHEN 4 THEN 5 ELSE 7 END AS modo
  FROM g
);

-- ---------------------------------------------------------------- origin 2: supplier receipts

INSERT INTO tbDocumentos_Fornec_Recibos (recibo_id, armazem_id, documento_no, data, data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, obs)
SELECT id, arm,
       'RF ' || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || id,
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00',
       CASE WHEN nodoc = 1 THEN NULL ELSE strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00' END,
       CASE WHEN ddeb IS NULL THEN NULL ELSE strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', ddeb)) END,
       contacto, conta, modo, valor, ref, obs
FROM (
  WITH r(id, arm, d, t, nodoc, ddeb, contacto, conta, modo, valor, ref, obs) AS (VALUES
   (1, 1, -28, '08:30', 0,  -28, 12, 1, 6,  342.18, 'Fatura 2501234567', 'Eletricidade'),
   (2, 1, -27, '08:30', 0, NULL, 13, 1, 6,   89.97, 'Fatura 88812345', 'Comunicações'),
   (3, 2, -15, '11:15', 0, NULL, 16, 8, 5, 2150.60, 'FT MMI/4411', 'Material de consultório'),
   (4, 1,   5, '09:00', 0, NULL, 19, 1, 5, 1800.00, 'Renda', 'Renda do próximo mês'),
   (5, 1,  -3, '16:05', 0, NULL, 14, 4, 1,   37.85, 'FS 2025/8812', NULL),
   (6, 2, -47, '10:10', 0,  -46, 15, 2, 6,   64.32, 'Fatura 0033123', 'Água'),
   (7, 1,  -7, '00:00', 1, NULL, 18, 1, 5,  246.00, 'FT BT/0712', 'Limpeza das instalações')
  ) SELECT * FROM r
);

INSERT INTO tbDocumentos_Fornec_Recibos (recibo_id, armazem_id, documento_no, data, data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, obs)
SELECT 100 + n, arm,
       'RF ' || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || (100 + n),
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t,
       CASE WHEN n % 9 = 0 THEN NULL ELSE strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t END,
       CASE WHEN d <= -6 AND (n % 5 <> 0 OR (conta = 2 AND d < -45))
            THEN strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d + n % 2)) END,
       12 + n % 8, conta, modo,
       round(20 + ((n * 104729) % 150000) / 100.0, 2),
       'FT ' || (4000 + n * 7),
       NULL
FROM (
  WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < 40)
  SELECT n,
         -150 + (n * 37) % 211 AS d,
         printf('%02d:%02d:00', 8 + (n * 5) % 10, (n * 17) % 60) AS t,
         CASE WHEN n % 4 = 0 THEN 2 ELSE 1 END AS arm,
         CASE n % 6 WHEN 0 THEN 2 WHEN 1 THEN 3 WHEN 2 THEN 8 ELSE 1 END AS conta,
         CASE n % 5 WHEN 0 THEN 2 WHEN 1 THEN 6 WHEN 2 THEN 5 WHEN 3 THEN 6 ELSE 5 END AS modo
  FROM g
);

-- ---------------------------------------------------------------- origin 3: cost receipts

INSERT INTO tbCustos_Recibos (recibo_id, armazem_id, documento_no, data, data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, descrit)
SELECT id, arm,
       'CR ' || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || id,
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00',
       CASE WHEN nodoc = 1 THEN NULL ELSE strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00' END,
       CASE WHEN ddeb IS NULL THEN NULL ELSE strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', ddeb)) END,
       contacto, conta, modo, valor, ref, descrit
FROM (
  WITH r(id, arm, d, t, nodoc, ddeb, contacto, conta, modo, valor, ref, descrit) AS (VALUES
   (1, 1,    -18, '14:00', 0,  -17, 17,   1, 5, 615.00, 'FR 2025/118', 'Honorários de consultoria jurídica'),
   (2, 1,    -48, '09:20', 1, NULL, 18,   1, 5, 246.00, 'FT BT/0655', 'Limpeza das instalações'),
   (3, NULL,  -2, '18:45', 0, NULL, NULL, 4, 1,  12.40, 'Talão 55120', 'Portagens'),
   (4, 2,    -33, '13:05', 0,  -33, 14,   8, 4,  58.17, 'FS 2025/7790', 'Material de escritório'),
   (5, 1,     30, '10:00', 0, NULL, NULL, 1, 6, 480.75, 'Apólice 77-001234', 'Seguro multirriscos')
  ) SELECT * FROM r
);

INSERT INTO tbCustos_Recibos (recibo_id, armazem_id, documento_no, data, data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, descrit)
SELECT 100 + n, arm,
       'CR ' || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || (100 + n),
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t,
       CASE WHEN n % 7 = 0 THEN NULL ELSE strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t END,
       CASE WHEN d <= -6 AND (n % 3 <> 0 OR (conta = 2 AND d < -45))
            THEN strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d)) END,
       CASE WHEN n % 6 IN (1, 4) THEN NULL ELSE 12 + (n * 3) % 8 END,
       conta,
       CASE WHEN conta = 4 THEN 1 ELSE CASE n % 3 WHEN 0 THEN 4 WHEN 1 THEN 3 ELSE 5 END END,
       round(5 + ((n * 7727) % 25000) / 100.0, 2),
       'Talão ' || (50000 + n * 41),
       CASE n % 6 WHEN 0 THEN 'Combustível' WHEN 1 THEN 'Portagens' WHEN 2 THEN 'Material de escritório'
                  WHEN 3 THEN 'Refeições' WHEN 4 THEN 'Estacionamento' ELSE 'Correios e portes' END
FROM (
  WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < 30)
  SELECT n,
         -150 + (n * 29) % 211 AS d,
         printf('%02d:%02d:00', 8 + (n * 3) % 11, (n * 19) % 60) AS t,
         CASE WHEN n % 5 = 0 THEN 2 ELSE 1 END AS arm,
         CASE n % 6 WHEN 0 THEN 1 WHEN 1 THEN 4 WHEN 2 THEN 4 WHEN 3 THEN 8 WHEN 4 THEN 1 ELSE 3 END AS conta
  FROM g
);

-- ---------------------------------------------------------------- origins 4 and 40: transfers
-- dd = origin bank date offset, dest = destination date offset, ddd = destination bank date offset.

INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_debito, data_destino, data_debito_destino, origem_id, destino_id, valor, obs, modo_pagamento_id, system)
SELECT id,
       strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d)),
       CASE WHEN dd IS NULL THEN NULL ELSE strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', dd)) END,
       strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', dest)),
       CASE WHEN ddd IS NULL THEN NULL ELSE strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', ddd)) END,
       o, de, valor, obs, modo, sys
FROM (
  WITH t(id, d, dd, dest, ddd, o, de, valor, obs, modo, sys) AS (VALUES
   (1,  -30,  -30,  -30,  -30, 1, 4,  500.00, 'Levantamento para o fundo de caixa', 5, 0),
   (2,  -12,  -12,  -11, NULL, 1, 2, 2000.00, 'Reforço da conta CGD', 5, 0),
   (3,   -5, NULL,   -4, NULL, 3, 1,  750.00, NULL, 5, NULL),
   (4,  -40,  -40,  -39,  -39, 1, 5, 3000.00, 'Aplicação na conta reservada', 5, 0),
   (5,  -55,  -55,  -54,  -54, 2, 8, 1200.00, 'Transferência para o Montepio', 5, 0),
   (6,  -20,  -20,  -20,  -20, 6, 1,  150.00, 'Regularização automática de saldos', 5, 1),
   (7,   15, NULL,   15, NULL, 1, 3,  400.00, 'Provisão para pagamentos', 5, 0),
   (8, -140, -140, -139, -139, 7, 1, 2350.80, 'Encerramento da conta BPI', 5, 0)
  ) SELECT * FROM t
);

INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_debito, data_destino, data_debito_destino, origem_id, destino_id, valor, obs, modo_pagamento_id, system)
SELECT 8 + n,
       strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d)),
       CASE WHEN d <= -6 AND n % 4 <> 0 THEN strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d)) END,
       strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d + n % 2)),
       CASE WHEN d <= -6 AND n % 5 <> 0 THEN strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d + n % 2)) END,
       o, de,
       round(100 * (1 + n % 9) + ((n * 37) % 100) / 100.0, 2),
       CASE WHEN n % 3 = 0 THEN NULL ELSE 'Transferência interna n.º ' || n END,
       CASE WHEN o = 4 OR de = 4 THEN 1 ELSE 5 END,
       0
FROM (
  WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < 12)
  SELECT n,
         -150 + (n * 17) % 211 AS d,
         CASE n % 6 WHEN 0 THEN 1 WHEN 1 THEN 4 WHEN 2 THEN 1 WHEN 3 THEN 2 WHEN 4 THEN 3 ELSE 8 END AS o,
         CASE n % 6 WHEN 0 THEN 4 WHEN 1 THEN 1 WHEN 2 THEN 8 WHEN 3 THEN 1 WHEN 4 THEN 8 ELSE 1 END AS de
  FROM g
);

-- ---------------------------------------------------------------- origins 5 and 6: bank charges and interest
-- Posted on the last day of each month, from five months back to next month.

INSERT INTO tbContas_Bancarias_Movimentos (mov_id, origem_id, conta_id, armazem_id, data, debito, credito, modo_pagamento_id, documento_no, referencia, descrit)
VALUES
 (1, 5, 1, 0, strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', '-12 days') || ' 23:00:00', 0, 1.20, 6, 'DB 0001', 'Imposto do Selo', 'Imposto do Selo sobre comissões'),
 (2, 5, 1, 0, strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', '-8 days') || ' 23:00:00', 0, 2.50, 6, 'DB 0002', 'Comissão', 'Comissão de emissão de cheques'),
 (3, 6, 5, 0, strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', '-16 days') || ' 23:00:00', 4.37, 0, 5, 'JR 0003', 'Juros', 'Juros de depósito a prazo'),
 (4, 5, 6, 0, strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', '-20 days') || ' 23:00:00', 0, 0.00, 5, 'DB 0004', 'Acerto', 'Acerto automático de arredondamentos'),
 (5, 5, 4, 0, strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', '-3 days') || ' 16:05:00', 0, 0.35, 1, 'DB 0005', 'Arredondamento', 'Diferença de caixa');

INSERT INTO tbContas_Bancarias_Movimentos (mov_id, origem_id, conta_id, armazem_id, data, debito, credito, modo_pagamento_id, documento_no, referencia, descrit)
SELECT 100 + row_number() OVER (ORDER BY m, conta, origem), origem, conta, 0,
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of month', printf('%+d months', m + 1), '-1 day') || ' 23:00:00',
       CASE WHEN origem = 6 THEN round(1.5 + ((conta * 131 + (m + 6) * 17) % 400) / 100.0, 2) ELSE 0 END,
       CASE WHEN origem = 5 THEN round(CASE conta WHEN 1 THEN 7.28 WHEN 2 THEN 5.20 WHEN 3 THEN 6.24 WHEN 5 THEN 3.12 ELSE 4.68 END, 2) ELSE 0 END,
       6,
       CASE origem WHEN 5 THEN 'DB ' ELSE 'JR ' END || strftime('%Y%m', 'now', 'localtime', 'start of month', printf('%+d months', m)),
       CASE origem WHEN 5 THEN 'Comissão de manutenção' ELSE 'Juros credores' END,
       CASE origem WHEN 5 THEN 'Comissão de manutenção de conta (inclui Imposto do Selo)' ELSE 'Juros credores do mês' END
FROM (
  WITH RECURSIVE months(m) AS (SELECT -5 UNION ALL SELECT m + 1 FROM months WHERE m < 1),
       accounts(conta, origem) AS (VALUES (1, 5), (2, 5), (3, 5), (5, 5), (8, 5), (5, 6), (8, 6))
  SELECT m, conta, origem FROM months, accounts
);

-- ---------------------------------------------------------------- origin 7: payments of documents

INSERT INTO tbDocumentos_Pagamentos (pag_id, armazem_id, documento_main_id, tipo_documento, documento_no, data, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, utilizador)
SELECT id, arm, main, tipo, docno,
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00',
       CASE WHEN ddeb IS NULL THEN NULL ELSE strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', ddeb)) END,
       contacto, conta, modo, valor, ref, util
FROM (
  WITH p(id, arm, main, tipo, docno, d, t, ddeb, contacto, conta, modo, valor, ref, util) AS (VALUES
   (1, 1, 5001, 'Fatura',        'FT LX/1021', -22, '10:45',  -21, 4,  1, 5, 3690.00, '1.ª prestação', 'Ana Rita Ferreira'),
   (2, 2, 6002, 'Fatura',        'FT PT/2201',  -9, '12:10', NULL, 6,  8, 3,  512.34, NULL, 'João Pedro Almeida'),
   (3, 1, 5001, 'Fatura',        'FT LX/1021',  20, '10:00', NULL, 4,  1, 5, 1000.00, '2.ª prestação', 'Ana Rita Ferreira'),
   (4, 1, 5003, 'Fatura-Recibo', 'FR LX/0450',  -3, '16:05', NULL, 2,  4, 1,   58.60, NULL, 'Rui Miguel Santos'),
   (5, 2, 6004, 'Fatura',        'FT PT/2130', -70, '09:35', NULL, 11, 2, 2,  830.00, 'Cheque n.º 3310078', 'João Pedro Almeida')
  ) SELECT * FROM p
);

INSERT INTO tbDocumentos_Pagamentos (pag_id, armazem_id, documento_main_id, tipo_documento, documento_no, data, data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia, utilizador)
SELECT 100 + n, arm,
       CASE arm WHEN 1 THEN 5100 ELSE 6100 END + n,
       CASE WHEN n % 4 = 0 THEN 'Fatura-Recibo' ELSE 'Fatura' END,
       CASE WHEN n % 4 = 0 THEN 'FR ' ELSE 'FT ' END || CASE arm WHEN 1 THEN 'LX' ELSE 'PT' END || '/' || (1200 + n),
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t,
       CASE WHEN d <= -6 AND (n % 3 <> 0 OR (conta = 2 AND d < -45))
            THEN strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime', 'start of day', printf('%+d days', d + n % 2)) END,
       2 + (n * 3) % 10, conta,
       CASE WHEN conta = 4 THEN 1 ELSE CASE n % 4 WHEN 0 THEN 5 WHEN 1 THEN 3 WHEN 2 THEN 5 ELSE 2 END END,
       CASE WHEN conta = 4 THEN round(5 + ((n * 6007) % 20000) / 100.0, 2)
            ELSE round(40 + ((n * 6007) % 200000) / 100.0, 2) END,
       NULL,
       CASE arm WHEN 1 THEN CASE n % 2 WHEN 0 THEN 'Ana Rita Ferreira' ELSE 'Rui Miguel Santos' END ELSE 'João Pedro Almeida' END
FROM (
  WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < 40)
  SELECT n,
         -150 + (n * 41) % 211 AS d,
         printf('%02d:%02d:00', 9 + (n * 5) % 9, (n * 11) % 60) AS t,
         CASE WHEN n % 3 = 2 THEN 2 ELSE 1 END AS arm,
         CASE n % 5 WHEN 0 THEN 4 WHEN 1 THEN 1 WHEN 2 THEN 8 WHEN 3 THEN 2 ELSE 1 END AS conta
  FROM g
);

-- ---------------------------------------------------------------- origin 10: patient treatment receipts

INSERT INTO tbPacientes_Tratamentos_Recibos (recibo_id, armazem_id, documento_no, data, contacto_id, conta_id, modo_pagamento_id, valor, referencia, tratamento)
SELECT id, arm,
       'RP ' || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || id,
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t || ':00',
       contacto, conta, modo, valor, ref, trat
FROM (
  WITH p(id, arm, d, t, contacto, conta, modo, valor, ref, trat) AS (VALUES
   (1, 1, -6,  '11:00', 20, 4, 1,  45.00, 'Sessão 3/10', 'Consulta de fisioterapia'),
   (2, 1, -14, '15:30', 21, 1, 3, 120.00, NULL, 'Tratamento dentário'),
   (3, 2, -1,  '10:20', 22, 8, 7,  60.50, NULL, 'Consulta de nutrição'),
   (4, 1, 7,   '09:00', 23, 1, 3,  75.00, 'Pré-pagamento', 'Consulta de osteopatia')
  ) SELECT * FROM p
);

INSERT INTO tbPacientes_Tratamentos_Recibos (recibo_id, armazem_id, documento_no, data, contacto_id, conta_id, modo_pagamento_id, valor, referencia, tratamento)
SELECT 100 + n, arm,
       'RP ' || strftime('%Y', 'now', 'localtime', printf('%+d days', d)) || '/' || (100 + n),
       strftime('%Y-%m-%d', 'now', 'localtime', 'start of day', printf('%+d days', d)) || ' ' || t,
       20 + n % 5, conta,
       CASE WHEN conta = 4 THEN 1 WHEN n % 2 = 0 THEN 3 ELSE 7 END,
       CASE n % 6 WHEN 0 THEN 35.00 WHEN 1 THEN 45.00 WHEN 2 THEN 60.50 WHEN 3 THEN 75.00 WHEN 4 THEN 120.00 ELSE 250.50 END,
       'Sessão ' || (1 + n % 10) || '/10',
       CASE n % 6 WHEN 0 THEN 'Consulta de fisioterapia' WHEN 1 THEN 'Consulta de fisioterapia' WHEN 2 THEN 'Consulta de nutrição'
                  WHEN 3 THEN 'Consulta de osteopatia' WHEN 4 THEN 'Tratamento dentário' ELSE 'Plano de tratamento' END
FROM (
  WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM g WHERE n < 30)
  SELECT n,
         -150 + (n * 47) % 211 AS d,
         printf('%02d:%02d:00', 9 + (n * 7) % 10, (n * 23) % 4 * 15) AS t,
         CASE WHEN n % 4 = 3 THEN 2 ELSE 1 END AS arm,
         CASE n % 3 WHEN 0 THEN 4 WHEN 1 THEN 1 ELSE 8 END AS conta
  FROM g
);
