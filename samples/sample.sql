-- The sample database: a small shop. Its values are chosen to show how an export treats
-- NULLs, empty strings, non-ASCII text, delimiters, quotes and line breaks inside values,
-- extreme numbers, decimals, dates with and without a time, long text and binary data.
PRAGMA encoding = 'UTF-8';

CREATE TABLE customers (
  id        INTEGER PRIMARY KEY AUTOINCREMENT,
  name      VARCHAR(60) NOT NULL,
  city      VARCHAR(40),
  email     VARCHAR(80),
  note      VARCHAR(120),
  joined    DATE,
  balance   DOUBLE
);

INSERT INTO customers (name, city, email, note, joined, balance) VALUES
  ('Ada Lovelace', 'London', 'ada@example.org', 'First customer', '1999-12-31', 1250.5),
  ('Zoë Ångström', 'Malmö', '', 'accents: é è ê ë ñ ç', '2004-02-29', -42.25),
  ('山田 太郎', '東京', 'taro@example.jp', 'CJK and an emoji 🎉', '2015-07-01', 0),
  ('Smith, John', 'Springfield, IL', NULL, 'holds, commas', '2020-01-15', 1e15),
  ('Tab	Person', 'Tab	Town', 'tab@example.com', 'a	tab inside', NULL, NULL),
  ('"Quoted" Name', 'Quote"ville', 'q@example.com', 'ends in a quote"', '2021-06-30', 0.1),
  ('Line Breaker', 'Two' || char(13, 10) || 'Lines', NULL, 'lone' || char(10) || 'LF and lone' || char(13) || 'CR', '2022-03-03', 123456789.123),
  ('', NULL, NULL, NULL, '2023-11-11', -0.0001);

CREATE TABLE products (
  id        INTEGER PRIMARY KEY,
  sku       CHAR(8),
  title     VARCHAR(80) NOT NULL,
  price     DECIMAL(12, 2),
  weight_kg REAL,
  stock     BIGINT,
  added     TIMESTAMP,
  thumbnail VARBINARY(16),
  description TEXT
);

INSERT INTO products VALUES
  (1, 'SKU-0001', 'Notebook, A5', '3.50', 0.25, 1200, '2024-01-02 09:30:00', X'89504E470D0A1A0A', 'A plain notebook with 96 pages.'),
  (2, 'SKU-0002', 'Pen "Fine"', '1.20', 0.01, 9223372036854775807, '2024-01-02 00:00:00', X'00FF00FF', NULL),
  (3, 'SKU-0003', 'Émaille Becher', '12.99', 0.35, -9223372036854775808, '2024-02-29 23:59:59', NULL,
     'A long description. ' || 'It goes on and on, with commas, tabs	and "quotes". ' || 'It goes on and on, with commas, tabs	and "quotes". ' || 'It goes on and on, with commas, tabs	and "quotes". ' || 'It goes on and on, with commas, tabs	and "quotes". ' || 'It goes on and on, with commas, tabs	and "quotes". ' || 'The end.'),
  (4, NULL, '茶碗', '2500.00', 0.4, 0, NULL, X'', 'Line one' || char(13, 10) || 'Line two'),
  (5, 'SKU-0005', 'Gift card 🎁', '-10.00', NULL, 7, '2025-12-24 18:00:00', X'DEADBEEF', '');

CREATE TABLE orders (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  product_id  INTEGER NOT NULL REFERENCES products(id),
  quantity    INTEGER NOT NULL,
  ordered_at  TIMESTAMP NOT NULL,
  status      VARCHAR(20),
  comment     VARCHAR(200)
);

INSERT INTO orders VALUES
  (1, 1, 1, 3, '2024-03-01 10:15:00', 'shipped', NULL),
  (2, 2, 3, 1, '2024-03-02 00:00:00', 'shipped', 'gift, please wrap'),
  (3, 3, 4, 2, '2024-03-05 14:45:30', 'open', '急ぎでお願いします'),
  (4, 4, 2, 100, '2024-03-06 08:00:00', 'cancelled', 'said: "no longer needed"'),
  (5, 5, 5, 1, '2024-03-07 19:20:00', 'open', 'call first' || char(13, 10) || 'then deliver'),
  (6, 1, 2, -1, '2024-03-08 12:00:00', 'returned', ''),
  (7, 6, 1, 2147483647, '2024-03-09 09:00:00', NULL, 'big order');

CREATE VIEW order_report AS
  SELECT o.id AS order_id, c.name AS customer, p.title AS product, o.quantity,
         p.price, o.ordered_at, o.status
  FROM orders o JOIN customers c ON c.id = o.customer_id JOIN products p ON p.id = o.product_id;
